// Random sequences of user actions on the real windows: menu items and their
// keys, clicks, drags, the wheel, typing, dropped files, every dialog
// answered at random from a scratch folder. After each action the ROM image
// must be what the edit history explains: undoing every recorded step gives
// the bytes as opened, redoing them gives the image back.
//
// QUARN_RANDOM_SEED replays a run (the seed is printed at start and on a
// failure), QUARN_RANDOM_ACTIONS sets its length, QUARN_RANDOM_VERBOSE=1
// prints every action as it runs.
#include "apphelper.h"
#include "guitest.h"
#include "randomdialogs.h"

#include "app/imagebox.h"
#include "app/openblock.h"
#include "compression/decompress.h"
#include "search/srres.h"
#include "text/dataf.h"
#include "tiles/teditf.h"
#include "tiles/tmform.h"
#include "workspace/workspacef.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QListView>
#include <QMenu>
#include <QScrollBar>
#include <QSpinBox>
#include <QWheelEvent>

#include <deque>

namespace {
using Bytes = std::vector<std::uint8_t>;

// ---- The document: the only lines that know where the image, its history
// and its workspace counterpart live.
std::span<const std::uint8_t> imageBytes(Workbench& wb) { return wb.state.rom; }
bool imageLoaded(Workbench& wb) { return wb.state.romLoaded; }
QString imageFileName(Workbench& wb) { return QString::fromStdString(wb.state.rom.fileName()); }
const EditHistory& imageHistory(Workbench& wb) { return wb.state.rom.history(); }
// Changes whenever the history starts again, for a new image.
std::uint64_t imageEpoch(Workbench& wb) { return wb.state.rom.history().generation(); }
std::uint64_t imagePosition(Workbench& wb) { return wb.state.rom.history().position(); }
bool imageModified(Workbench& wb) { return wb.state.rom.modified(); }
std::span<const std::uint8_t> workspaceBytes(Workbench& wb) { return wb.state.workspace; }
const EditHistory& workspaceHistory(Workbench& wb) { return wb.state.workspace.history(); }
std::uint64_t workspaceEpoch(Workbench& wb) { return wb.state.workspace.history().generation(); }
// What the title's "*" says.
bool imageShownModified(Workbench& wb) { return wb.forms.mainForm->windowTitle().endsWith(QLatin1Char('*')); }
// The title's "*" is the document's modified state, and that state is the
// history standing elsewhere than at the last load or save.
constexpr bool kModifiedStateChecked = true;
// Writes, undos and loads between the press and the release of a paint
// stroke in the tile editor.
constexpr bool kWritesDuringStrokesChecked = true;

std::uint64_t environmentNumber(const char* name, std::uint64_t fallback)
{
    bool ok = false;
    const std::uint64_t value = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? value : fallback;
}

QString firstDifference(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b)
{
    if (a.size() != b.size())
        return QStringLiteral("%1 bytes instead of %2").arg(a.size()).arg(b.size());
    const auto at = std::mismatch(a.begin(), a.end(), b.begin()).first - a.begin();
    return QStringLiteral("byte %1 is %2, expected %3").arg(at, 0, 16).arg(a[at], 2, 16).arg(b[at], 2, 16);
}

// Undoes every step of a copy of `history` from `now`, compares with
// `reference`, and redoes them again back to `now`. Empty when all agree.
QString replayHistory(const EditHistory& history, std::span<const std::uint8_t> now, const Bytes& reference)
{
    EditHistory copy = history;
    Bytes bytes(now.begin(), now.end());
    int undone = 0;
    while (copy.undo(bytes))
        ++undone;
    if (bytes != reference)
        return QStringLiteral("undoing all %1 steps does not give the bytes as opened: %2")
            .arg(undone)
            .arg(firstDifference(bytes, reference));
    for (int i = 0; i < undone; ++i)
        copy.redo(bytes);
    if (!std::equal(bytes.begin(), bytes.end(), now.begin(), now.end()))
        return QStringLiteral("redoing all %1 steps does not give the image back: %2")
            .arg(undone)
            .arg(firstDifference(bytes, now));
    return {};
}

// A newly loaded image is its file, padded with zeros to a load's or a
// reload's minimum size.
QString matchesFile(std::span<const std::uint8_t> image, const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("the image's file %1 cannot be read").arg(fileName);
    const QByteArray read = file.readAll();
    const Bytes bytes(read.begin(), read.end());
    const auto fileSize = bytes.size();
    const bool padded = image.size() == std::max<std::size_t>(fileSize, kMinimumLoadSize) ||
                        image.size() == std::max<std::size_t>(fileSize, kMinimumReloadSize);
    if (!padded || !std::equal(bytes.begin(), bytes.end(), image.begin()) ||
        std::any_of(image.begin() + static_cast<std::ptrdiff_t>(fileSize), image.end(), [](auto b) { return b != 0; }))
        return QStringLiteral("the image loaded (%1 bytes) is not its file %2 (%3 bytes) padded")
            .arg(image.size())
            .arg(fileName)
            .arg(fileSize);
    return {};
}

// What a buffer looked like when its history began, and what the history
// must explain from there.
struct BufferWatch {
    Bytes reference;
    Bytes saved; // as last loaded or saved
    std::uint64_t epoch = 0;
    bool known = false;
    std::optional<std::uint64_t> savedPosition; // the history's position at that point, when known
};

// An opened compressed block holds what its stream in the ROM image behind it
// decompresses to.
QString matchesBlock(std::span<const std::uint8_t> opened, const OpenBlock& block)
{
    const DecompressResult expected = decompressBlock(block.image().bytes(), block.offset(), block.format());
    if (!expected.ok() || !std::equal(opened.begin(), opened.end(), expected.bytes.begin(), expected.bytes.end()))
        return QStringLiteral("the block opened (%1 bytes) is not what its stream at %2 decompresses to")
            .arg(opened.size())
            .arg(block.offset(), 0, 16);
    return {};
}

// Exactly `bytes` in the file.
QString fileHolds(const Bytes& bytes, const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1 cannot be read").arg(fileName);
    const QByteArray read = file.readAll();
    const Bytes held(read.begin(), read.end());
    return held == bytes ? QString() : QStringLiteral("%1: ").arg(fileName) + firstDifference(held, bytes);
}

const QStringList kSkippedItems{
    // Closing the main window ends the program; the test would have nothing left to drive.
    QStringLiteral("ExitItem"),
    // TODO: the about box runs its own event loop instead of going through
    // Dialogs::runModal, so a test cannot answer it.
    QStringLiteral("AboutItem"),
    // Writes the desktop's "Open with" entry into the user's home folder.
    QStringLiteral("N30"),
};

Qt::KeyboardModifiers randomModifiers(RandomSource& r)
{
    static const Qt::KeyboardModifiers choices[] = {Qt::NoModifier, Qt::NoModifier, Qt::NoModifier,
                                                    Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier,
                                                    Qt::ShiftModifier | Qt::ControlModifier};
    return r.pick(choices);
}
} // namespace

class RandomActionsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;
    std::uint64_t seed = 0;
    std::unique_ptr<RandomSource> random;
    std::unique_ptr<RandomDialogs> dialogs;
    std::deque<QString> recent; // the last actions, shown with a failure
    BufferWatch rom;
    BufferWatch workspace;
    bool saveAsked = false; // Save or Save As ran during the action
    bool blockOpenAtSave = false; // a compressed block was open when it ran
    Bytes imageAtSave;
    std::uint64_t positionAtSave = 0;
    // "Save changes?" as asked during the action, with the image at that moment.
    struct Question {
        SaveChangesAnswer answer;
        Bytes bytes;
        QString fileName;
        std::uint64_t epoch = 0;
        std::uint64_t position = 0;
        bool stepOpen = false;
        int messages = 0;
        bool blockOpen = false;
    };
    std::vector<Question> questions;
    int questionsAsked = 0;
    bool gestureGoesOn = false; // a held button is released after the action that asked
    int messagesBefore = 0;
    int cancelsBefore = 0;
    int loads = 0;
    std::map<std::string, int> stepsSeen; // how often each kind of step stood last, to see what was reached

    Workbench& wb() { return app->wb(); }
    RandomSource& r() { return *random; }

    std::vector<QWidget*> visibleWindows()
    {
        const Forms& f = wb().forms;
        std::vector<QWidget*> windows;
        for (QWidget* w : std::initializer_list<QWidget*>{f.mainForm, f.tileMapForm, f.tileEditForm, f.dataForm,
                                                          f.workspaceForm, f.searchResForm})
            if (w && w->isVisible())
                windows.push_back(w);
        return windows;
    }
    // The visible, enabled widgets of a kind in the visible tool windows
    // (not in the dialogs, which only their drivers touch).
    template <typename T>
    std::vector<T*> widgets()
    {
        std::vector<T*> found;
        for (QWidget* window : visibleWindows())
            for (T* w : window->findChildren<T*>())
                if (w->window() == window && w->isVisible() && w->isEnabled())
                    found.push_back(w);
        return found;
    }
    static void activate(QWidget* window)
    {
        window->activateWindow();
        (void)QTest::qWaitFor([window] { return QGuiApplication::focusWindow() == window->windowHandle(); }, 1000);
    }
    QPoint randomPoint(QWidget* w)
    {
        const int margin = r().chance(0.1) ? 40 : 0; // now and then past the edge
        return {r().between(-margin, w->width() - 1 + margin), r().between(-margin, w->height() - 1 + margin)};
    }
    static QString nameOf(const QObject* o)
    {
        return o->objectName().isEmpty() ? QString::fromLatin1(o->metaObject()->className()) : o->objectName();
    }

    // ---- Actions. Each does one thing a user could do and says what.

    std::vector<QAction*> menuItems()
    {
        std::vector<QAction*> items;
        for (QAction* a : wb().forms.mainForm->findChildren<QAction*>())
            if (!a->objectName().isEmpty() && !a->menu() && !kSkippedItems.contains(a->objectName()))
                items.push_back(a);
        for (QAction* a : wb().forms.searchResForm->findChildren<QAction*>())
            if (!a->objectName().isEmpty() && !a->menu())
                items.push_back(a);
        return items;
    }
    QString triggerItem()
    {
        std::vector<QAction*> items;
        for (QAction* a : menuItems())
            if (a->isEnabled())
                items.push_back(a);
        QAction* item = r().pick(items);
        // Menu items act on the window the user was in.
        const auto windows = visibleWindows();
        activate(r().pick(windows));
        item->trigger();
        return QStringLiteral("menu item %1 of %2").arg(nameOf(item), nameOf(item->parent()));
    }
    QString pressShortcut()
    {
        std::vector<QAction*> items;
        for (QAction* a : menuItems())
            if (!a->shortcut().isEmpty())
                items.push_back(a);
        QAction* item = r().pick(items);
        const QKeyCombination keys = item->shortcuts().at(r().below(static_cast<int>(item->shortcuts().size())))[0];
        const auto windows = visibleWindows();
        QWidget* window = r().pick(windows);
        activate(window);
        QWidget* target = window->focusWidget() ? window->focusWidget() : window;
        QTest::keyClick(target, keys.key(), keys.keyboardModifiers());
        return QStringLiteral("keys %1 (%2 of %3) in %4")
            .arg(QKeySequence(keys).toString(), nameOf(item), nameOf(item->parent()), nameOf(target));
    }
    QString undoOrRedo()
    {
        const auto windows = visibleWindows();
        QWidget* window = r().pick(windows);
        activate(window);
        const bool back = r().chance(0.6);
        const int times = r().between(1, 4);
        for (int i = 0; i < times; ++i)
            QTest::keyClick(window, back ? Qt::Key_Z : Qt::Key_Y, Qt::ControlModifier);
        return QStringLiteral("%1 x %2 in %3").arg(back ? "Undo" : "Redo").arg(times).arg(nameOf(window));
    }
    static void sendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
                          Qt::KeyboardModifiers modifiers)
    {
        QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, modifiers);
        QApplication::sendEvent(w, &event);
    }
    QString mouseOnPicture()
    {
        const auto boxes = widgets<ImageBox>();
        if (boxes.empty())
            return QStringLiteral("no picture shown");
        ImageBox* box = r().pick(boxes);
        const QPoint from = randomPoint(box);
        const Qt::MouseButton button = r().chance(0.75) ? Qt::LeftButton : r().chance(0.7) ? Qt::RightButton : Qt::MiddleButton;
        const Qt::KeyboardModifiers mods = randomModifiers(r());
        const auto where = QStringLiteral("%1 at %2,%3").arg(nameOf(box)).arg(from.x()).arg(from.y());
        switch (r().below(7)) {
        case 0:
        case 1: {
            sendMouse(box, QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton, mods);
            sendMouse(box, QEvent::MouseButtonPress, from, button, button, mods);
            sendMouse(box, QEvent::MouseButtonRelease, from, button, Qt::NoButton, mods);
            return QStringLiteral("click %1 on %2").arg(button).arg(where);
        }
        case 2: {
            sendMouse(box, QEvent::MouseButtonPress, from, button, button, mods);
            sendMouse(box, QEvent::MouseButtonRelease, from, button, Qt::NoButton, mods);
            sendMouse(box, QEvent::MouseButtonDblClick, from, button, button, mods);
            sendMouse(box, QEvent::MouseButtonRelease, from, button, Qt::NoButton, mods);
            return QStringLiteral("double click %1 on %2").arg(button).arg(where);
        }
        case 3:
        case 4:
        case 5: {
            const QPoint to = randomPoint(box);
            sendMouse(box, QEvent::MouseButtonPress, from, button, button, mods);
            const int steps = r().between(1, 6);
            for (int i = 1; i <= steps; ++i)
                sendMouse(box, QEvent::MouseMove, from + (to - from) * i / steps, Qt::NoButton, button, mods);
            sendMouse(box, QEvent::MouseButtonRelease, to, button, Qt::NoButton, mods);
            return QStringLiteral("drag %1 on %2 to %3,%4").arg(button).arg(where).arg(to.x()).arg(to.y());
        }
        default: {
            const int notches = r().chance(0.5) ? r().between(1, 3) : -r().between(1, 3);
            QWheelEvent wheel(QPointF(from), box->mapToGlobal(QPointF(from)), QPoint(), QPoint(0, 120 * notches),
                              Qt::NoButton, mods, Qt::NoScrollPhase, false);
            QApplication::sendEvent(box, &wheel);
            return QStringLiteral("wheel %1 on %2").arg(notches).arg(where);
        }
        }
    }
    // A key or command while a mouse button is held on a picture: the
    // gesture's step must still come out right, or not at all.
    QString interruptedGesture()
    {
        const auto boxes = widgets<ImageBox>();
        if (boxes.empty())
            return QStringLiteral("no picture shown");
        ImageBox* box = r().pick(boxes);
        const QPoint from = randomPoint(box);
        const QPoint to = randomPoint(box);
        sendMouse(box, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        sendMouse(box, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        using Action = QString (RandomActionsTest::*)();
        static const Action between[] = {&RandomActionsTest::triggerItem, &RandomActionsTest::pressShortcut,
                                         &RandomActionsTest::undoOrRedo, &RandomActionsTest::typeIntoField,
                                         &RandomActionsTest::dropFile};
        const Action meanwhileAction = box->objectName() == QLatin1String("Tile") && !kWritesDuringStrokesChecked
                                           ? &RandomActionsTest::dropFile
                                           : r().pick(between);
        const QString meanwhile = (this->*meanwhileAction)();
        gestureGoesOn = true;
        sendMouse(box, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        sendMouse(box, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        return QStringLiteral("drag on %1 from %2,%3 to %4,%5 with %6 between")
            .arg(nameOf(box))
            .arg(from.x())
            .arg(from.y())
            .arg(to.x())
            .arg(to.y())
            .arg(meanwhile);
    }
    QString clickButton()
    {
        const auto buttons = widgets<QAbstractButton>();
        if (buttons.empty())
            return QStringLiteral("no button shown");
        QAbstractButton* button = r().pick(buttons);
        QTest::mouseClick(button, Qt::LeftButton, randomModifiers(r()));
        return QStringLiteral("button %1").arg(nameOf(button));
    }
    QString typeIntoSpinBox()
    {
        const auto spins = widgets<QSpinBox>();
        if (spins.empty())
            return QStringLiteral("no spin edit shown");
        QSpinBox* spin = r().pick(spins);
        activate(spin->window());
        switch (r().below(3)) {
        case 0:
            spin->setValue(r().between(spin->minimum(), spin->maximum()));
            return QStringLiteral("spin %1 set to %2").arg(nameOf(spin)).arg(spin->value());
        case 1: {
            static const Qt::Key keys[] = {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown};
            const Qt::Key key = r().pick(keys);
            QTest::keyClick(spin, key);
            return QStringLiteral("spin %1 key %2").arg(nameOf(spin), QKeySequence(key).toString());
        }
        default: {
            spin->selectAll();
            const QString text = r().chance(0.7) ? QString::number(r().between(-2, 300)) : r().text(4);
            typeText(spin, text);
            if (r().chance(0.5))
                QTest::keyClick(spin, Qt::Key_Return);
            return QStringLiteral("spin %1 typed \"%2\"").arg(nameOf(spin), text);
        }
        }
    }
    QString typeIntoField()
    {
        std::vector<QLineEdit*> fields;
        for (QLineEdit* field : widgets<QLineEdit>())
            if (!qobject_cast<QAbstractSpinBox*>(field->parentWidget()))
                fields.push_back(field);
        if (fields.empty())
            return QStringLiteral("no field shown");
        QLineEdit* field = r().pick(fields);
        activate(field->window());
        QTest::mouseClick(field, Qt::LeftButton, Qt::NoModifier, randomPoint(field) / 2 + QPoint(1, 1));
        if (r().chance(0.5))
            field->selectAll();
        const QString text = r().text(r().chance(0.2) ? 40 : 8);
        typeText(field, text);
        static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left, Qt::Key_Escape};
        if (r().chance(0.4))
            QTest::keyClick(field, r().pick(keys));
        return QStringLiteral("field %1 typed \"%2\"").arg(nameOf(field), text);
    }
    QString chooseInCombo()
    {
        const auto combos = widgets<QComboBox>();
        if (combos.empty())
            return QStringLiteral("no combo box shown");
        QComboBox* combo = r().pick(combos);
        if (r().chance(0.5)) {
            combo->setCurrentIndex(r().below(combo->count()));
        } else {
            activate(combo->window());
            QTest::keyClick(combo, r().chance(0.5) ? Qt::Key_Up : Qt::Key_Down);
        }
        return QStringLiteral("combo %1 at %2").arg(nameOf(combo)).arg(combo->currentIndex());
    }
    QString moveScrollBar()
    {
        const auto bars = widgets<QScrollBar>();
        if (bars.empty())
            return QStringLiteral("no scroll bar shown");
        QScrollBar* bar = r().pick(bars);
        if (r().chance(0.4)) {
            bar->setValue(r().between(bar->minimum(), bar->maximum())); // the thumb dragged
            return QStringLiteral("scroll bar %1 to %2").arg(nameOf(bar)).arg(bar->value());
        }
        static const Qt::Key keys[] = {Qt::Key_Up,     Qt::Key_Down,     Qt::Key_Left, Qt::Key_Right,
                                       Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
        const Qt::Key key = r().pick(keys);
        activate(bar->window());
        bar->setFocus();
        QTest::keyClick(bar, key, randomModifiers(r()));
        return QStringLiteral("scroll bar %1 key %2").arg(nameOf(bar), QKeySequence(key).toString());
    }
    QString useResultList()
    {
        QListView* list = wb().forms.searchResForm->searchlist;
        const int rows = list->model()->rowCount();
        if (!list->isVisible() || rows == 0)
            return triggerItem();
        const QModelIndex index = list->model()->index(r().below(rows), 0);
        list->scrollTo(index);
        const QPoint at = list->visualRect(index).center();
        if (r().chance(0.5))
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        else
            QTest::mouseClick(list->viewport(), r().chance(0.7) ? Qt::LeftButton : Qt::RightButton, Qt::NoModifier, at);
        return QStringLiteral("result line %1").arg(index.row());
    }
    QString pressKey()
    {
        static const Qt::Key keys[] = {Qt::Key_Left,   Qt::Key_Right,    Qt::Key_Up,     Qt::Key_Down, Qt::Key_Home,
                                       Qt::Key_End,    Qt::Key_PageUp,   Qt::Key_PageDown, Qt::Key_Delete,
                                       Qt::Key_Return, Qt::Key_Escape,   Qt::Key_Tab,    Qt::Key_Space,
                                       Qt::Key_Insert, Qt::Key_A,        Qt::Key_0,      Qt::Key_Plus, Qt::Key_Minus};
        const auto windows = visibleWindows();
        QWidget* window = r().pick(windows);
        activate(window);
        QWidget* target = window->focusWidget() ? window->focusWidget() : window;
        const Qt::Key key = r().pick(keys);
        const Qt::KeyboardModifiers mods = randomModifiers(r());
        QTest::keyClick(target, key, mods);
        return QStringLiteral("key %1 in %2").arg(QKeySequence(QKeyCombination(mods, key)).toString(), nameOf(target));
    }
    QString dropFile()
    {
        const QStringList files = dialogs->files();
        QWidget* target = r().chance(0.5) ? static_cast<QWidget*>(wb().forms.mainForm) : wb().forms.dataForm;
        const QString path = dialogs->path(files.at(r().below(static_cast<int>(files.size()))));
        auto mime = std::make_unique<QMimeData>();
        mime->setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime.get(), Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mime.get(), Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return QStringLiteral("drop %1 on %2").arg(QFileInfo(path).fileName(), nameOf(target));
    }

    QString randomAction()
    {
        using Action = QString (RandomActionsTest::*)();
        static const std::pair<int, Action> actions[] = {
            {14, &RandomActionsTest::triggerItem},     {10, &RandomActionsTest::pressShortcut},
            {8, &RandomActionsTest::undoOrRedo},       {25, &RandomActionsTest::mouseOnPicture},
            {8, &RandomActionsTest::clickButton},      {7, &RandomActionsTest::typeIntoSpinBox},
            {7, &RandomActionsTest::typeIntoField},    {3, &RandomActionsTest::chooseInCombo},
            {6, &RandomActionsTest::moveScrollBar},    {3, &RandomActionsTest::useResultList},
            {5, &RandomActionsTest::pressKey},         {2, &RandomActionsTest::dropFile},
            {3, &RandomActionsTest::interruptedGesture},
        };
        int total = 0;
        for (const auto& a : actions)
            total += a.first;
        int roll = r().below(total);
        for (const auto& a : actions) {
            if (roll < a.first)
                return (this->*a.second)();
            roll -= a.first;
        }
        return {};
    }

    // ---- Checks after each action.

    QString checkImage()
    {
        if (!imageLoaded(wb()))
            return {};
        QString problem = checkQuestions();
        if (!problem.isEmpty())
            return problem;
        const auto now = imageBytes(wb());
        if (!rom.known || imageEpoch(wb()) != rom.epoch) {
            // A new image, perhaps written to since in the same action (a drag
            // ended after a drop): its history leads back to its file as read,
            // the point where it was not modified.
            Bytes opened(now.begin(), now.end());
            EditHistory history = imageHistory(wb());
            while (history.undo(opened)) {
            }
            problem = wb().state.openBlock ? matchesBlock(opened, *wb().state.openBlock)
                                           : matchesFile(opened, imageFileName(wb()));
            if (!problem.isEmpty())
                return problem;
            rom = BufferWatch{opened, opened, imageEpoch(wb()), true, history.position()};
            ++loads;
        }
        // With a block open, Save writes the block back into the ROM image, not the file.
        if (saveAsked && !blockOpenAtSave && dialogs->messages == messagesBefore && dialogs->cancels == cancelsBefore) {
            // A save that reports nothing has written the image whole.
            problem = fileHolds(imageAtSave, imageFileName(wb()));
            if (!problem.isEmpty())
                return QStringLiteral("a save without a message did not write the image: ") + problem;
            rom.saved = imageAtSave;
            rom.savedPosition = positionAtSave;
        }
        const bool modified = imageModified(wb());
        if (kModifiedStateChecked) {
            if (imageShownModified(wb()) != modified)
                return QStringLiteral("the title says the image is %1modified").arg(modified ? "" : "not ");
            if (rom.savedPosition && modified != (imagePosition(wb()) != *rom.savedPosition))
                return QStringLiteral("the image counts as %1modified at history position %2, saved at %3")
                    .arg(modified ? "" : "not ")
                    .arg(imagePosition(wb()))
                    .arg(*rom.savedPosition);
            // Never unmodified with bytes that differ from the file's.
            if (rom.savedPosition && !modified && !std::equal(now.begin(), now.end(), rom.saved.begin(), rom.saved.end()))
                return QStringLiteral("the image counts as not modified but is not as saved: ") +
                       firstDifference(now, rom.saved);
        }
        if (imageHistory(wb()).canUndo())
            ++stepsSeen[imageHistory(wb()).undoName()];
        problem = replayHistory(imageHistory(wb()), now, rom.reference);
        return problem.isEmpty() ? problem : QStringLiteral("ROM image: ") + problem;
    }
    // "Save changes to NAME?" answered during the action: Save wrote the
    // image as it stood, Cancel left it as it was, Discard (and a save that
    // worked) let the action go on.
    QString checkQuestions()
    {
        for (const Question& q : questions) {
            // With a block open the file gets the ROM image with the block
            // written back into it, which is not worked out here.
            if (q.answer != SaveChangesAnswer::Save || q.blockOpen)
                continue;
            const QString problem = fileHolds(q.bytes, q.fileName);
            if (!problem.isEmpty())
                return QStringLiteral("Save answered to the question did not write the image: ") + problem;
            rom.saved = q.bytes;
            // Saving ends a stroke under way first: where it ends is not known here.
            rom.savedPosition = q.stepOpen ? std::nullopt : std::optional<std::uint64_t>(q.position);
        }
        if (questions.size() != 1)
            return {};
        const Question& q = questions.front();
        if (q.answer == SaveChangesAnswer::Cancel) {
            if (imageEpoch(wb()) != q.epoch || imageFileName(wb()) != q.fileName)
                return QStringLiteral("Cancel answered to the question, but another image came in");
            const auto now = imageBytes(wb());
            if (!gestureGoesOn && !std::equal(now.begin(), now.end(), q.bytes.begin(), q.bytes.end()))
                return QStringLiteral("Cancel answered to the question changed the image: ") + firstDifference(now, q.bytes);
        } else if (imageEpoch(wb()) == q.epoch && dialogs->messages == q.messages) {
            return QStringLiteral("the action did not go on after the question was answered %1")
                .arg(q.answer == SaveChangesAnswer::Save ? "Save" : "Discard");
        }
        return {};
    }
    QString checkWorkspace()
    {
        // A change of the data map grid resizes the workspace and empties its
        // history: a new reference from there.
        const auto now = workspaceBytes(wb());
        if (!workspace.known || workspaceEpoch(wb()) != workspace.epoch) {
            // Perhaps written to since in the same action (a file loaded
            // into a new grid): the reference is before those steps.
            Bytes reference(now.begin(), now.end());
            for (EditHistory history = workspaceHistory(wb()); history.undo(reference);) {
            }
            workspace = BufferWatch{reference, {}, workspaceEpoch(wb()), true, std::nullopt};
        }
        if (now.size() != workspace.reference.size())
            return QStringLiteral("workspace: resized from %1 to %2 bytes but its history was kept")
                .arg(workspace.reference.size())
                .arg(now.size());
        const QString problem = replayHistory(workspaceHistory(wb()), now, workspace.reference);
        return problem.isEmpty() ? problem : QStringLiteral("workspace: ") + problem;
    }
    void closePopups()
    {
        for (int i = 0; i < 5 && QApplication::activePopupWidget(); ++i)
            QApplication::activePopupWidget()->close();
    }
    // Undo through the program's own menu, in the main window, down to the
    // first step: the bytes as opened.
    QString undoEverythingThroughTheMenu()
    {
        if (!imageLoaded(wb()))
            return {};
        activate(wb().forms.mainForm);
        QAction* undo = app->main->action("UndoItem");
        for (int i = 0; i < 100000 && imageHistory(wb()).canUndo(); ++i)
            undo->trigger();
        const auto now = imageBytes(wb());
        if (!std::equal(now.begin(), now.end(), rom.reference.begin(), rom.reference.end()))
            return QStringLiteral("Undo down to the first step: ") + firstDifference(now, rom.reference);
        return {};
    }
    void reportFailure(int index, const QString& problem)
    {
        qWarning("randomactions: the last actions before the failure:");
        for (const QString& line : recent)
            qWarning("  %s", qPrintable(line));
        qWarning("randomactions: seed %llu failed at action %d: %s (replay: QUARN_RANDOM_SEED=%llu)",
                 static_cast<unsigned long long>(seed), index, qPrintable(problem),
                 static_cast<unsigned long long>(seed));
    }

private slots:
    void init()
    {
        seed = environmentNumber("QUARN_RANDOM_SEED", std::random_device{}());
        random = std::make_unique<RandomSource>(seed);
        // The program's own language file, so the language menu has more than English.
        app = std::make_unique<RunningApp>([](RunningApp& a) {
            QDir().mkpath(a.wb().languageFolder);
            QFile::copy(QStringLiteral(QUARN_LANG_DIR "/Russian.lng"), a.wb().languageFolder + "/Russian.lng");
        });
        dialogs = std::make_unique<RandomDialogs>(*random, app->dir.filePath(QStringLiteral("files")));
        dialogs->fillFolder();
        wb().setDialogs(dialogs.get());
        for (const char* save : {"SaveItem", "SaveASitem"})
            // Runs after the item's own handler: the image as it was saved.
            connect(app->main->action(save), &QAction::triggered, this, [this] {
                saveAsked = true;
                blockOpenAtSave = wb().state.openBlock != nullptr;
                const auto now = imageBytes(wb());
                imageAtSave.assign(now.begin(), now.end());
                positionAtSave = imagePosition(wb());
            });
        dialogs->onSaveChanges = [this](SaveChangesAnswer answer) {
            const auto now = imageBytes(wb());
            ++questionsAsked;
            questions.push_back(Question{answer, Bytes(now.begin(), now.end()), imageFileName(wb()), imageEpoch(wb()),
                                         imagePosition(wb()), wb().state.rom.stepOpen(), dialogs->messages,
                                         wb().state.openBlock != nullptr});
        };
    }
    void cleanup()
    {
        app.reset();
        dialogs.reset();
    }

    void randomActionsNeverHurtTheImage()
    {
        const int count = static_cast<int>(environmentNumber("QUARN_RANDOM_ACTIONS", 500));
        const bool verbose = qEnvironmentVariableIntValue("QUARN_RANDOM_VERBOSE") != 0;
        qInfo("randomactions: seed %llu, %d actions", static_cast<unsigned long long>(seed), count);
        // Most runs start with an image; some first try what works without one.
        QString problem;
        if (r().chance(0.8))
            app->open(dialogs->path(QStringLiteral("game.nes")));
        for (int i = 0; i < count; ++i) {
            if (i == 0 && !(problem = checkImage()).isEmpty())
                QFAIL(qPrintable(problem));
            dialogs->offsetLimit = std::max<std::int64_t>(static_cast<std::int64_t>(imageBytes(wb()).size()), 0x4000);
            saveAsked = false;
            questions.clear();
            gestureGoesOn = false;
            messagesBefore = dialogs->messages;
            cancelsBefore = dialogs->cancels;
            const QString action = QStringLiteral("%1: ").arg(i) + randomAction();
            closePopups();
            if (verbose)
                qInfo("%s", qPrintable(action));
            recent.push_back(action);
            if (recent.size() > 30)
                recent.pop_front();
            problem = checkImage();
            if (problem.isEmpty())
                problem = checkWorkspace();
            if (!problem.isEmpty()) {
                reportFailure(i, problem);
                QFAIL(qPrintable(problem));
            }
        }
        problem = undoEverythingThroughTheMenu();
        if (!problem.isEmpty()) {
            reportFailure(count, problem);
            QFAIL(qPrintable(problem));
        }
        qInfo("randomactions: %d messages shown, %d dialogs driven, %d questions to save answered, %d images loaded",
              dialogs->messages, dialogs->modals, questionsAsked, loads);
        QStringList steps;
        for (const auto& [name, times] : stepsSeen)
            steps << QStringLiteral("%1 %2").arg(QString::fromStdString(name)).arg(times);
        qInfo("randomactions: last steps seen: %s", qPrintable(steps.join(QStringLiteral(", "))));
    }
};

QUARN_GUI_TEST(randomactions, RandomActionsTest);
#include "randomactions_test.moc"

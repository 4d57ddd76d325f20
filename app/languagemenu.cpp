// The language texts: the language menu, switching, and pushing the texts
// into every window.
#include "about/about.h"
#include "app/inputbox.h"
#include "app/kvrmain.h"
#include "app/languageio.h"
#include "app/languageplaces.h"
#include "app/settings.h"
#include "pointers/pointerform.h"
#include "search/searchform.h"
#include "search/srres.h"
#include "text/crtrd.h"
#include "text/dataf.h"
#include "tiles/teditf.h"
#include "tiles/tmform.h"
#include "workspace/workspacef.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>

#include <deque>

namespace {
QWidget* windowOf(const Forms& f, TextWindow window)
{
    switch (window) {
    case TextWindow::Main: return f.mainForm;
    case TextWindow::TileMap: return f.tileMapForm;
    case TextWindow::TileEditor: return f.tileEditForm;
    case TextWindow::DataMap: return f.dataForm;
    case TextWindow::Workspace: return f.workspaceForm;
    case TextWindow::Search: return f.searchForm;
    case TextWindow::Results: return f.searchResForm;
    case TextWindow::Script: return f.crtransForm;
    case TextWindow::Input: return f.inputForm;
    case TextWindow::About: return f.aboutForm;
    }
    return nullptr;
}

// A component of one window by name, not looking into the other windows,
// which are children of the main window.
QObject* componentOf(QWidget* window, const char* name, const Forms& f)
{
    const std::array<QWidget*, 10> windows{f.mainForm,  f.inputForm,     f.aboutForm,    f.searchForm,
                                           f.crtransForm, f.searchResForm, f.tileMapForm, f.tileEditForm,
                                           f.dataForm,  f.workspaceForm};
    const QString wanted = QString::fromLatin1(name);
    std::deque<QObject*> queue(window->children().begin(), window->children().end());
    while (!queue.empty()) {
        QObject* object = queue.front();
        queue.pop_front();
        if (std::find(windows.begin(), windows.end(), object) != windows.end())
            continue;
        if (object->objectName() == wanted)
            return object;
        queue.insert(queue.end(), object->children().begin(), object->children().end());
    }
    return nullptr;
}

void setCaption(QObject* target, const QString& text)
{
    if (auto* menu = qobject_cast<QMenu*>(target))
        menu->menuAction()->setText(text);
    else if (auto* action = qobject_cast<QAction*>(target))
        action->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(target))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(target))
        button->setText(text);
}

void setHint(QObject* target, const QString& text)
{
    if (auto* action = qobject_cast<QAction*>(target))
        action->setToolTip(text);
    else if (auto* widget = qobject_cast<QWidget*>(target))
        widget->setToolTip(text);
}
} // namespace

void TQuarnTileMapper::Stringinit()
{
    wb_.texts.setBuiltInEnglish();
}

void TQuarnTileMapper::Languageinit()
{
    QMenu* menu = menus_.at(QStringLiteral("Language"));
    auto* group = new QActionGroup(menu);
    group->addAction(action("English"));
    connect(action("English"), &QAction::triggered, this, [this] { EnglishClick(0); });
    // The list is read once: files added later are seen at the next start.
    languageFiles_ = languageFilePaths(wb_.languageFolder);
    for (int i = 0; i < languageFiles_.size(); ++i) {
        const LanguageFileRead read = readLanguageFile(languageFiles_[i], wb_.codePage);
        auto* item = new QAction(read.file ? QString::fromStdString(read.file->name) : QString(), this);
        item->setObjectName(QStringLiteral("Language%1").arg(i + 1));
        item->setCheckable(true);
        group->addAction(item);
        menu->addAction(item);
        actions_[item->objectName()] = item;
        connect(item, &QAction::triggered, this, [this, i] { EnglishClick(i + 1); });
    }
    // A number past the files (files removed since) falls back to English,
    // which EnglishClick stores as 0.
    EnglishClick(wb_.settings ? wb_.settings->language() : 0);
}

void TQuarnTileMapper::EnglishClick(int language)
{
    // The desktop entry's name holds the verb text of the language in force.
    const bool integrated = action("N30")->isChecked();
    if (integrated)
        setIntegration(false);
    if (language <= 0 || language > languageFiles_.size()) {
        action("English")->setChecked(true);
        Stringinit();
        language = 0;
    } else {
        action(QStringLiteral("Language%1").arg(language).toLatin1().constData())->setChecked(true);
        // Keys the file does not give keep the text they had.
        const LanguageFileRead read = readLanguageFile(languageFiles_[language - 1], wb_.codePage);
        if (read.file)
            applyLanguage(wb_.texts, *read.file);
        else
            showError(read.error);
    }
    if (wb_.settings)
        wb_.settings->setLanguage(language);
    Languageapply();
    if (integrated)
        setIntegration(true);
}

void TQuarnTileMapper::Languageapply()
{
    const Forms& f = wb_.forms;
    for (const TextPlace& place : kTextPlaces) {
        QWidget* window = windowOf(f, place.window);
        if (!window)
            continue;
        const QString text = wb_.text(place.key) + QString::fromLatin1(place.suffix);
        if (place.target == TextTarget::Title) {
            window->setWindowTitle(text);
            continue;
        }
        QObject* target = componentOf(window, place.component, f);
        if (place.target == TextTarget::Hint)
            setHint(target, text);
        else
            setCaption(target, text);
    }
    // Texts that carry the current state are built again from it.
    const SharedState& s = wb_.state;
    f.aboutForm->applyTexts();
    f.pointerForm->applyTexts();
    action("N31")->setText(wb_.text("PointerTable"));
    showMaxStringLength(SpinEdit1->value());
    DataEditChange();
    if (s.tableLoaded)
        setTableNameLabel();
    if (s.tileTableLoaded)
        Label4->setText(wb_.text("TileTblLab") + QStringLiteral(": ") + QString::fromStdString(s.tileTableFileName));
    f.tileMapForm->updateShiftHints();
    updateUndoItems();
    if (s.openBlock) // the title names the block in words
        buildMainTitle();
    if (s.romLoaded) {
        f.tileMapForm->updateCaption();
        f.dataForm->setDataPosition(s.dataPosition);
        f.tileEditForm->showSelectedTile();
    }
}

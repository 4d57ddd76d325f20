// The string bar of the main window: the string field, its two buttons, the
// length labels, the maximum length and the table names.
#include "text/utf8.h"
#include "app/kvrmain.h"

#include "app/numbers.h"
#include "text/stringcodec.h"
#include "tiles/tmform.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

namespace {
// "Length: 12 = h000C": decimal, then "h0" and at least 3 hexadecimal digits.
QString lengthLabel(const QString& caption, int value)
{
    return caption + QStringLiteral(": ") + QString::number(value) + QStringLiteral(" = h0") +
           QString::fromStdString(hexText(static_cast<std::uint32_t>(value), 3));
}
// The labels keep their places between the buttons and the spin edit; a
// caption longer than its place (another language) gets a smaller font.
void showFitted(QLabel* label, const QString& text)
{
    QFont font = label->parentWidget()->font();
    while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(text) > label->width())
        font.setPointSizeF(font.pointSizeF() - 0.5);
    label->setFont(font);
    label->setText(text);
}
} // namespace

void TQuarnTileMapper::createStringBar()
{
    auto* bar = new QWidget(this);
    setCentralWidget(bar);
    GetBtn = new QPushButton(wb_.text("GetBtn"), bar);
    GetBtn->setObjectName(QStringLiteral("GetBtn"));
    GetBtn->setGeometry(0, 2, 54, 22);
    PasteBtn = new QPushButton(wb_.text("PasteBtn"), bar);
    PasteBtn->setObjectName(QStringLiteral("PasteBtn"));
    PasteBtn->setGeometry(56, 2, 57, 22);
    LenLab = new QLabel(lengthLabel(wb_.text("LenLab"), 0), bar);
    LenLab->setObjectName(QStringLiteral("LenLab"));
    LenLab->setGeometry(120, 5, 180, 16);
    MaxLenLab = new QLabel(lengthLabel(wb_.text("MaxLenLab"), 1), bar);
    MaxLenLab->setObjectName(QStringLiteral("MaxLenLab"));
    MaxLenLab->setGeometry(304, 5, 180, 16);
    SpinEdit1 = new QSpinBox(bar);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(1, 960);
    SpinEdit1->setValue(1);
    SpinEdit1->setGeometry(488, 0, 49, 22);
    DataEdit = new QLineEdit(bar);
    DataEdit->setObjectName(QStringLiteral("DataEdit"));
    DataEdit->setMaxLength(10000);
    DataEdit->setGeometry(0, 24, 537, 22);
    TBLnamel = new QLabel(wb_.text("TBLnamel") + QStringLiteral(":"), bar);
    TBLnamel->setObjectName(QStringLiteral("TBLnamel"));
    TBLnamel->setGeometry(0, 50, 537, 16);
    Label4 = new QLabel(wb_.text("TileTblLab") + QStringLiteral(":"), bar);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(0, 68, 537, 16);
    // Everything waits for a finished table.
    for (QWidget* w : {static_cast<QWidget*>(GetBtn), static_cast<QWidget*>(PasteBtn),
                       static_cast<QWidget*>(DataEdit)})
        w->setEnabled(false);
    DataEdit->installEventFilter(this);
    connect(GetBtn, &QPushButton::clicked, this, &TQuarnTileMapper::GetBtnClick);
    connect(PasteBtn, &QPushButton::clicked, this, &TQuarnTileMapper::PasteBtnClick);
    connect(DataEdit, &QLineEdit::textChanged, this, &TQuarnTileMapper::DataEditChange);
    connect(SpinEdit1, &QSpinBox::valueChanged, this, [this](int value) {
        wb_.state.maxStringLength = value;
        showFitted(MaxLenLab, lengthLabel(wb_.text("MaxLenLab"), value));
    });
}

void TQuarnTileMapper::enableStringControls()
{
    for (QWidget* w : {static_cast<QWidget*>(GetBtn), static_cast<QWidget*>(PasteBtn),
                       static_cast<QWidget*>(DataEdit)})
        w->setEnabled(true);
    action("Getstring1")->setEnabled(true);
    action("PutString1")->setEnabled(true);
}

bool TQuarnTileMapper::characterOrientedCounting() const
{
    return action("LCnt")->isChecked();
}

void TQuarnTileMapper::GetBtnClick()
{
    const SharedState& s = wb_.state;
    // Exactly the maximum string length in entries, end code or not; cut at
    // the end of the image.
    DataEdit->setText(QString::fromStdString(extractString(s.rom, s.selectedPosition(), s.maxStringLength, s.tableMatcher)));
}

void TQuarnTileMapper::Getstring1Click()
{
    DataEdit->setFocus(Qt::ShortcutFocusReason);
    GetBtnClick();
}

void TQuarnTileMapper::PasteBtnClick()
{
    SharedState& s = wb_.state;
    // All or nothing: a character that the table cannot encode refuses the
    // whole text, with where it is.
    const std::string typed = DataEdit->text().toStdString();
    const bool byCharacter = characterOrientedCounting();
    InsertResult inserted;
    s.rom.edit("PutString", {{s.selectedPosition(), s.maxStringLength}}, [&](std::span<std::uint8_t> rom) {
        inserted = insertString(rom, s.selectedPosition(), s.maxStringLength, s.tableMatcher, typed, byCharacter);
    });
    if (inserted.unmatchedOffset) {
        const UnmatchedCharacter where = unmatchedAt(typed, *inserted.unmatchedOffset);
        showError(wb_.text("UnmatchedInText")
                      .arg(QString::fromStdString(where.character), QString::number(where.position)));
        return;
    }
    wb_.forms.tileMapForm->redrawTileMap();
}

void TQuarnTileMapper::PutString1Click()
{
    PasteBtnClick();
}

void TQuarnTileMapper::DataEditChange()
{
    const std::string text = DataEdit->text().toStdString();
    // By character, or the codes the encoder would write with no limit.
    const std::size_t length =
        characterOrientedCounting() ? utf8CharacterCount(text) : encodedLength(wb_.state.tableMatcher, text);
    showFitted(LenLab, lengthLabel(wb_.text("LenLab"), static_cast<int>(length)));
}

void TQuarnTileMapper::LCntClick()
{
    DataEditChange();
}

bool TQuarnTileMapper::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DataEdit && event->type() == QEvent::KeyPress)
        return DataEditKeyPress(static_cast<QKeyEvent*>(event));
    return QMainWindow::eventFilter(watched, event);
}

bool TQuarnTileMapper::DataEditKeyPress(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        PasteBtnClick();
        return true;
    }
    // Keys that type nothing (arrows, Delete, shortcuts) are not filtered.
    const QString typed = event->text();
    if (typed.isEmpty() || event->modifiers().testAnyFlags(Qt::ControlModifier | Qt::AltModifier))
        return false;
    const char32_t ch = typed.toUcs4().value(0);
    if (ch == 8 || ch < 32 || ch == 127)
        return false;
    // The characters the table's entries hold, any script.
    return typed.toUcs4().size() != 1 || !wb_.state.tableCharSet.test(ch);
}

void TQuarnTileMapper::showMaxStringLength(int length)
{
    const int kept = std::clamp(length, SpinEdit1->minimum(), SpinEdit1->maximum());
    SpinEdit1->setValue(kept);
    wb_.state.maxStringLength = kept;
    showFitted(MaxLenLab, lengthLabel(wb_.text("MaxLenLab"), kept));
}

#include "search/searchform.h"

#include "app/forms.h"
#include "app/windowplace.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace {
QLabel* makeLabel(const QString& text, const char* name, const QRect& geometry, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    return label;
}

QRadioButton* makeRadio(const char* name, int y, QButtonGroup* group, QWidget* parent)
{
    auto* radio = new QRadioButton(parent);
    radio->setObjectName(QString::fromLatin1(name));
    radio->setGeometry(8, y, 17, 21);
    group->addButton(radio);
    return radio;
}

QLineEdit* makeField(const char* name, int y, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setGeometry(28, y, 332, 21);
    return field;
}

bool isHexDigit(QChar ch)
{
    return (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) || (ch >= QLatin1Char('A') && ch <= QLatin1Char('F'));
}

// The interval field. An emptied field stands for 0 at once, so the value in
// force is always what the field shows; a plain spin box would put its old
// value back when the focus moves to the Search button.
class IntervalSpinBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString& input, int& pos) const override
    {
        return input.isEmpty() ? QValidator::Acceptable : QSpinBox::validate(input, pos);
    }
    int valueFromText(const QString& text) const override
    {
        return text.isEmpty() ? 0 : QSpinBox::valueFromText(text);
    }
};

// Puts `replacement` in place of every character of `text` that is not kept,
// leaving the caret where it was.
template <typename Keep>
void replaceCharacters(QLineEdit* field, const QString& text, Keep keep, QChar replacement)
{
    QString repaired = text;
    for (QChar& ch : repaired)
        if (!keep(ch))
            ch = replacement;
    if (repaired == text)
        return;
    const int caret = field->cursorPosition();
    field->setText(repaired);
    field->setCursorPosition(caret);
}

bool isEnter(const QKeyEvent* key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }

// The one character a key types; nothing for keys that move the caret or
// the focus, for shortcuts and for backspace.
std::optional<QChar> typedCharacter(const QKeyEvent* key)
{
    if (key->text().size() != 1 || key->modifiers().testAnyFlags(Qt::ControlModifier | Qt::AltModifier))
        return std::nullopt;
    const QChar ch = key->text().front();
    if (ch.unicode() < 32 || ch.unicode() == 127)
        return std::nullopt;
    return ch;
}
} // namespace

TSearchForm::TSearchForm(Workbench& workbench, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      wb_(workbench)
{
    setObjectName(QStringLiteral("SearchForm"));
    setWindowTitle(wb_.text("Search"));
    setFixedSize(368, 169);
    setModal(true);

    auto* modes = new QButtonGroup(this);
    hexfl = makeLabel(wb_.text("HexFind"), "hexfl", QRect(28, 4, 332, 14), this);
    f1 = makeRadio("f1", 18, modes, this);
    hexfed = makeField("hexfed", 18, this);
    rsl = makeLabel(wb_.text("RelativeTextFind"), "rsl", QRect(28, 44, 332, 14), this);
    f2 = makeRadio("f2", 58, modes, this);
    tfed = makeField("tfed", 58, this);
    tfl = makeLabel(wb_.text("TextFind"), "tfl", QRect(28, 84, 332, 14), this);
    f3 = makeRadio("f3", 98, modes, this);
    ntsed = makeField("ntsed", 98, this);
    f1->setChecked(true);
    f3->setEnabled(false);
    ntsed->setEnabled(false);

    intLab = makeLabel(wb_.text("Interval"), "intLab", QRect(8, 138, 56, 14), this);
    intervalspin = new IntervalSpinBox(this);
    intervalspin->setObjectName(QStringLiteral("intervalspin"));
    intervalspin->setGeometry(64, 134, 49, 22);
    // 0..99: "-" cannot be typed and a larger value cannot stand.
    intervalspin->setRange(0, 99);
    FindBtn = new QPushButton(wb_.text("Find"), this);
    FindBtn->setObjectName(QStringLiteral("FindBtn"));
    FindBtn->setGeometry(200, 134, 75, 25);
    CnBtn = new QPushButton(wb_.text("Cancel"), this);
    CnBtn->setObjectName(QStringLiteral("CnBtn"));
    CnBtn->setGeometry(284, 134, 75, 25);
    for (QPushButton* button : {FindBtn, CnBtn})
        button->setAutoDefault(false); // Enter belongs to the fields' key filters

    for (QLineEdit* field : {hexfed, tfed, ntsed})
        field->installEventFilter(this);
    connect(FindBtn, &QPushButton::clicked, this, &TSearchForm::FindBtnClick);
    connect(CnBtn, &QPushButton::clicked, this, &TSearchForm::CnBtnClick);
    connect(f1, &QRadioButton::clicked, hexfed, [this] { hexfed->setFocus(Qt::OtherFocusReason); });
    connect(f2, &QRadioButton::clicked, tfed, [this] { tfed->setFocus(Qt::OtherFocusReason); });
    connect(f3, &QRadioButton::clicked, ntsed, [this] { ntsed->setFocus(Qt::OtherFocusReason); });
    connect(hexfed, &QLineEdit::textChanged, this, &TSearchForm::hexfedChange);
    connect(ntsed, &QLineEdit::textChanged, this, &TSearchForm::ntsedChange);
}

bool TSearchForm::execute()
{
    confirmed_ = false;
    wb_.dialogs().runModal(*this);
    return confirmed_;
}

void TSearchForm::enableTableText()
{
    f3->setEnabled(true);
    ntsed->setEnabled(true);
}

int TSearchForm::interval() const
{
    // Text that is no number counts as 0.
    bool ok = false;
    const int value = intervalspin->cleanText().toInt(&ok);
    return ok ? std::clamp(value, 0, 99) : 0;
}

void TSearchForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnScreen(*this);
    FormShow();
}

void TSearchForm::FormShow()
{
    confirmed_ = false;
    if (f1->isChecked())
        hexfed->setFocus(Qt::OtherFocusReason);
    else if (f2->isChecked())
        tfed->setFocus(Qt::OtherFocusReason);
}

void TSearchForm::FindBtnClick()
{
    confirmed_ = true;
    accept();
}

void TSearchForm::CnBtnClick()
{
    reject();
}

bool TSearchForm::eventFilter(QObject* watched, QEvent* event)
{
    // Clicking or entering a field chooses its mode.
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress) {
        if (watched == hexfed)
            f1->setChecked(true);
        else if (watched == tfed)
            f2->setChecked(true);
        else if (watched == ntsed && ntsed->isEnabled())
            f3->setChecked(true);
    }
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (isEnter(key) && (watched == hexfed || watched == tfed || watched == ntsed)) {
        FindBtnClick();
        return true;
    }
    if (watched == hexfed)
        return hexfedKeyPress(key);
    if (watched == ntsed)
        return ntsedKeyPress(key);
    return QDialog::eventFilter(watched, event);
}

bool TSearchForm::hexfedKeyPress(QKeyEvent* event)
{
    const std::optional<QChar> ch = typedCharacter(event);
    if (!ch)
        return false;
    const QChar upper = ch->toUpper();
    if (isHexDigit(upper) && upper != *ch) {
        hexfed->insert(QString(upper)); // typed in lower case, taken in upper case
        return true;
    }
    return !isHexDigit(upper);
}

void TSearchForm::hexfedChange(const QString& text)
{
    // Pasted text: every character that is no hexadecimal digit becomes 0.
    replaceCharacters(hexfed, text, isHexDigit, QLatin1Char('0'));
}

bool TSearchForm::inTableCharSet(QChar ch) const
{
    // Table entries are Unicode text: any character one of them holds.
    return wb_.state.tableCharSet.test(ch.unicode());
}

bool TSearchForm::ntsedKeyPress(QKeyEvent* event)
{
    const std::optional<QChar> ch = typedCharacter(event);
    return ch && !inTableCharSet(*ch);
}

void TSearchForm::ntsedChange(const QString& text)
{
    // Pasted text: every character outside the table character set becomes A.
    replaceCharacters(ntsed, text, [this](QChar ch) { return inTableCharSet(ch); }, QLatin1Char('A'));
}

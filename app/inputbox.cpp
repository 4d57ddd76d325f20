#include "app/inputbox.h"

#include "app/forms.h"
#include "app/windowplace.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

AllowedChars backspaceAnd(std::string_view typed)
{
    AllowedChars set;
    set.set(8);
    for (char c : typed)
        set.set(static_cast<unsigned char>(c));
    return set;
}

AllowedChars goToCharacters() { return backspaceAnd("0123456789ABCDEFabcdefHh"); }

AllowedChars fillByteCharacters() { return backspaceAnd("\r0123456789"); }

namespace {
QPushButton* makeButton(const QString& caption, const char* name, const QRect& geometry, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    // Enter belongs to the text field's key filter, never to a button.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

// Tab, Escape, Delete and the like move the caret or the focus; only
// backspace and printable characters count as typed.
bool isTypedCharacter(QChar ch)
{
    return ch.unicode() == 8 || (ch.unicode() >= 32 && ch.unicode() != 127);
}
} // namespace

TInputForm::TInputForm(Workbench& workbench, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      wb_(workbench)
{
    setObjectName(QStringLiteral("InputForm"));
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    setFixedSize(303, 76);
    setModal(true);

    ifLabel = new QLabel(this);
    ifLabel->setObjectName(QStringLiteral("ifLabel"));
    ifLabel->setGeometry(8, 8, 289, 14);
    ifEdit = new QLineEdit(this);
    ifEdit->setObjectName(QStringLiteral("ifEdit"));
    ifEdit->setGeometry(8, 24, 289, 21);
    ifEdit->installEventFilter(this);
    ifOKbtn = makeButton(wb_.text("Ok"), "ifOKbtn", QRect(8, 48, 75, 25), this);
    ifCnclbtn = makeButton(wb_.text("Cancel"), "ifCnclbtn", QRect(88, 48, 75, 25), this);

    connect(ifEdit, &QLineEdit::textChanged, this, &TInputForm::ifEditChange);
    connect(ifEdit, &QLineEdit::textEdited, this, &TInputForm::ifEditEdited);
    connect(ifOKbtn, &QPushButton::clicked, this, &TInputForm::ifOKbtnClick);
    connect(ifCnclbtn, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<QString> TInputForm::query(const InputRequest& request)
{
    allowed_ = request.allowed;
    setWindowTitle(request.caption);
    ifLabel->setText(request.prompt);
    ifEdit->setMaxLength(request.maxLength > 0 ? request.maxLength : 32767);

    confirmed_ = false;
    ifEdit->setText(request.text);
    ifEdit->selectAll();
    ifOKbtn->setEnabled(!request.text.isEmpty());
    centreOnScreen(*this);
    ifEdit->setFocus(Qt::OtherFocusReason);

    exec();
    if (!confirmed_)
        return std::nullopt;
    return ifEdit->text();
}

void TInputForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The frame is known only now; centre the whole window, frame included.
    centreOnScreen(*this);
}

void TInputForm::ifEditChange(const QString& text)
{
    ifOKbtn->setEnabled(!text.isEmpty());
}

void TInputForm::ifEditEdited(const QString& text)
{
    // Typed characters are already filtered, so anything outside the set came
    // by paste or drop: drop it here, keeping the caret where it was.
    QString kept;
    int caret = ifEdit->cursorPosition();
    const int oldCaret = caret;
    for (int i = 0; i < text.size(); ++i) {
        if (isAllowed(text.at(i)))
            kept += text.at(i);
        else if (i < oldCaret)
            --caret;
    }
    if (kept == text)
        return;
    ifEdit->setText(kept);
    ifEdit->setCursorPosition(caret);
}

void TInputForm::ifOKbtnClick()
{
    confirmed_ = true;
    accept();
}

std::optional<unsigned char> TInputForm::characterCode(QChar ch) const
{
    bool lossless = false;
    const std::string bytes = wb_.codePage.fromUnicode(QString(ch), &lossless);
    if (!lossless || bytes.size() != 1)
        return std::nullopt;
    return static_cast<unsigned char>(bytes.front());
}

bool TInputForm::isAllowed(QChar ch) const
{
    const std::optional<unsigned char> code = characterCode(ch);
    return code && allowed_.test(*code);
}

bool TInputForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != ifEdit || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (ifOKbtn->isEnabled())
            ifOKbtnClick();
        return true;
    }
    // Shortcuts such as Ctrl+V are not typed characters.
    if (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return false;
    const QString text = key->text();
    for (QChar ch : text)
        if (isTypedCharacter(ch) && !isAllowed(ch))
            return true;
    return false;
}

void TInputForm::keyPressEvent(QKeyEvent* event)
{
    // Escape does not close the box: only the buttons and the close box do.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

QString InputBoxQuery(Workbench& workbench, const QString& caption, const QString& prompt,
                      const AllowedChars& allowed, int maxLength, const QString& text)
{
    TInputForm& box = *workbench.forms.inputForm;
    const std::optional<QString> answer =
        workbench.dialogs().inputBox(box, InputRequest{caption, prompt, allowed, maxLength, text});
    box.setConfirmed(answer.has_value());
    return answer.value_or(QStringLiteral("0"));
}

bool InputBoxConfirmed(Workbench& workbench)
{
    return workbench.forms.inputForm->confirmed();
}

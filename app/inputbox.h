#pragma once
#include "app/dialogs.h"

#include <QDialog>

#include <string_view>

class QLabel;
class QLineEdit;
class QPushButton;
class Workbench;

// Backspace and the characters of `typed`: what an input box lets through.
AllowedChars backspaceAnd(std::string_view typed);
// Characters of the Go To box: backspace, digits, A-F, a-f, H and h.
AllowedChars goToCharacters();
// Characters of the fill byte box: backspace, carriage return and digits.
AllowedChars fillByteCharacters();

// The modal box that asks for one short value. Only characters of the
// caller's allowed set can be typed; Enter confirms once there is text.
// Text pasted or dropped into the field is cut down to the allowed set too.
class TInputForm : public QDialog {
    Q_OBJECT
public:
    TInputForm(Workbench& workbench, QWidget* parent);

    // Shows the box modally; the text when confirmed by OK or Enter.
    std::optional<QString> query(const InputRequest& request);
    bool confirmed() const { return confirmed_; }
    void setConfirmed(bool confirmed) { confirmed_ = confirmed; }

    QLabel* ifLabel = nullptr;
    QLineEdit* ifEdit = nullptr;
    QPushButton* ifOKbtn = nullptr;
    QPushButton* ifCnclbtn = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ifEditChange(const QString& text);
    void ifEditEdited(const QString& text);
    void ifOKbtnClick();
    // The 8-bit code of a typed character in the table code page; nothing
    // when that code page cannot hold it.
    std::optional<unsigned char> characterCode(QChar ch) const;
    bool isAllowed(QChar ch) const;

    Workbench& wb_;
    bool confirmed_ = false;
    AllowedChars allowed_;
};

// Asks through the dialog seam: the entered text, or "0" when the box was
// not confirmed. `text` is offered in the field, selected.
QString InputBoxQuery(Workbench& workbench, const QString& caption, const QString& prompt,
                      const AllowedChars& allowed, int maxLength, const QString& text = {});
// Whether the last InputBoxQuery was confirmed.
bool InputBoxConfirmed(Workbench& workbench);

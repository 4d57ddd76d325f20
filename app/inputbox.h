#pragma once
#include "app/dialogs.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class Workbench;

// Characters of the Go To box: backspace, digits, A-F, a-f, H and h.
AllowedChars goToCharacters();
// Characters of the fill byte box: backspace, carriage return and digits.
AllowedChars fillByteCharacters();

// The modal box that asks for one short value.
class TInputForm : public QDialog {
    Q_OBJECT
public:
    TInputForm(Workbench& workbench, QWidget* parent);

    // Shows the box modally; the text when confirmed by OK or Enter.
    std::optional<QString> query(const InputRequest& request);
    bool confirmed() const { return confirmed_; }
    void setConfirmed(bool confirmed) { confirmed_ = confirmed; }

private:
    Workbench& wb_;
    bool confirmed_ = false;
};

// Asks through the dialog seam: the entered text, or "0" when the box was
// not confirmed.
QString InputBoxQuery(Workbench& workbench, const QString& caption, const QString& prompt,
                      const AllowedChars& allowed, int maxLength);
// Whether the last InputBoxQuery was confirmed.
bool InputBoxConfirmed(Workbench& workbench);

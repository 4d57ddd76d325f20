#pragma once
// The program's message box: the text, one OK button, and room for both
// the whole title and the text's longest line.
#include <QDialog>

class QLabel;

class MessageForm final : public QDialog {
    Q_OBJECT
public:
    MessageForm(QWidget* parent, const QString& title, const QString& text);

    // The width the title needs in a window manager's title bar: the text
    // in a bold face and the icon and buttons beside it.
    static int titleRoom(const QString& title, const QFont& font);

    QLabel* textLabel() const { return text_; }

private:
    QLabel* text_;
};

#include "app/messagebox.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

MessageForm::MessageForm(QWidget* parent, const QString& title, const QString& text) : QDialog(parent)
{
    setObjectName(QStringLiteral("MessageForm"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    // Texts made for other systems end their lines in CR LF or LF CR; a
    // label would break twice.
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text_ = new QLabel(lines, this);
    text_->setObjectName(QStringLiteral("MessageText"));
    text_->setTextFormat(Qt::PlainText);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Lines break only where the text breaks them (the table help lines up
    // its columns with tabs), unless a line could not fit on the screen.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int widest = screen ? screen->availableGeometry().width() * 9 / 10 : 1000;
    if (text_->sizeHint().width() > widest) {
        text_->setWordWrap(true);
        text_->setFixedWidth(widest);
    }
    layout->addWidget(text_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setDefault(true);
    ok->setFocus(); // Space answers it too, as in any message box
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    layout->activate();
    const int width = std::max(layout->sizeHint().width(), titleRoom(title, font()));
    setFixedSize(width, layout->hasHeightForWidth() ? layout->totalHeightForWidth(width) : layout->sizeHint().height());
}

int MessageForm::titleRoom(const QString& title, const QFont& font)
{
    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    // The icon, up to four buttons and the paddings between them take about
    // a line height each on the title bars of common window managers.
    return metrics.horizontalAdvance(title) + 6 * (metrics.height() + 8);
}

#include "about/about.h"

#include "app/forms.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TAboutForm::TAboutForm(Workbench& workbench, QWidget* parent) : QDialog(parent), wb_(workbench)
{
    setObjectName(QStringLiteral("AboutForm"));
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QString::fromLatin1(kApplicationTitle), this);
    title->setObjectName(QStringLiteral("Label1"));
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    title->setFont(bold);
    version_ = new QLabel(this);
    version_->setObjectName(QStringLiteral("Version"));
    thanks_ = new QLabel(this);
    thanks_->setObjectName(QStringLiteral("Label2"));
    searcher_ = new QLabel(this);
    searcher_->setObjectName(QStringLiteral("Label3"));
    modifiedBy_ = new QLabel(this);
    modifiedBy_->setObjectName(QStringLiteral("Label4"));
    links_ = new QLabel(this);
    links_->setObjectName(QStringLiteral("Links"));
    links_->setOpenExternalLinks(true);
    close_ = new QPushButton(this);
    close_->setObjectName(QStringLiteral("Button1"));
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    for (QWidget* w : {static_cast<QWidget*>(title), static_cast<QWidget*>(version_), static_cast<QWidget*>(thanks_),
                       static_cast<QWidget*>(searcher_), static_cast<QWidget*>(modifiedBy_),
                       static_cast<QWidget*>(links_)})
        layout->addWidget(w);
    layout->addWidget(close_, 0, Qt::AlignRight);
    applyTexts();
}

void TAboutForm::applyTexts()
{
    setWindowTitle(wb_.text("AboutItem"));
    thanks_->setText(wb_.text("AboutStr1"));
    searcher_->setText(wb_.text("AboutStr2"));
    version_->setText(wb_.text("AboutVersion") + QLatin1Char(' ') + QStringLiteral(QUARN_VERSION));
    modifiedBy_->setText(wb_.text("AboutStr3") + QLatin1Char(' ') + wb_.text("AboutModifiers"));
    // Both targets are set by the build (QUARN_HOME_PAGE_URL, QUARN_DOCUMENTATION_URL).
    links_->setText(QStringLiteral("<a href=\"%1\">%2</a> &nbsp; <a href=\"%3\">%4</a>")
                        .arg(QStringLiteral(QUARN_HOME_PAGE_URL), wb_.text("HomePage").toHtmlEscaped(),
                             QStringLiteral(QUARN_DOCUMENTATION_URL), wb_.text("Documentation").toHtmlEscaped()));
    close_->setText(wb_.text("Close"));
}

#include "text/crtrd.h"

#include "app/forms.h"
#include "app/numbers.h"
#include "app/windowplace.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

namespace {
QLineEdit* makeOffsetField(const char* name, const QRect& geometry, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setGeometry(geometry);
    // Hexadecimal digits and H: typed keys outside the set are dropped, and
    // a paste holding any is refused.
    field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-fHh]*")), field));
    return field;
}

QPushButton* makeButton(const QString& caption, const char* name, const QRect& geometry, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

FileDialogOptions dumpFileDialog(const Workbench& wb, const QString& fileName, bool save)
{
    // Only the save dialog asks before overwriting.
    return FileDialogOptions{QString(), wb.text("TXTFilter"), QStringLiteral(".txt"), save, fileName};
}
} // namespace

Tcrtransform::Tcrtransform(Workbench& workbench, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      wb_(workbench)
{
    setObjectName(QStringLiteral("crtransform"));
    setWindowTitle(wb_.text("ExtractText"));
    setFixedSize(211, 158);
    setModal(true);

    LabeledEdit1Label = new QLabel(wb_.text("StartPosition"), this);
    LabeledEdit1Label->setObjectName(QStringLiteral("LabeledEdit1Label"));
    LabeledEdit1Label->setGeometry(8, 8, 193, 14);
    LabeledEdit1 = makeOffsetField("LabeledEdit1", QRect(8, 24, 193, 21), this);
    LabeledEdit1Label->setBuddy(LabeledEdit1);
    RadioButton1 = new QRadioButton(wb_.text("ReplaceAllText"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setGeometry(8, 48, 193, 17);
    RadioButton1->setChecked(true);
    Label1 = new QLabel(wb_.text("EndPosition"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 66, 193, 14);
    Edit1 = makeOffsetField("Edit1", QRect(8, 80, 193, 21), this);
    Button1 = makeButton(wb_.text("Ok"), "Button1", QRect(24, 120, 75, 25), this);
    Button1->setDefault(true);
    Button2 = makeButton(wb_.text("Cancel"), "Button2", QRect(112, 120, 75, 25), this);
    connect(Button1, &QPushButton::clicked, this, &Tcrtransform::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tcrtransform::Button2Click);
}

std::optional<QString> Tcrtransform::execute(Mode mode)
{
    mode_ = mode;
    const bool extract = mode == Mode::Extract;
    setWindowTitle(wb_.text(extract ? "ExtractText" : "ReplaceText"));
    RadioButton1->setVisible(!extract);
    RadioButton1->setChecked(true);
    Label1->setVisible(extract);
    confirmed_ = false;
    wb_.dialogs().runModal(*this);
    if (!confirmed_)
        return std::nullopt;
    return fileName_;
}

void Tcrtransform::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnScreen(*this);
    FormShow();
}

void Tcrtransform::FormShow()
{
    confirmed_ = false;
    const QString position = QStringLiteral("h") + QString::fromStdString(hexText(
        static_cast<std::uint32_t>(wb_.state.selectedPosition()), 8));
    Edit1->setText(position);
    LabeledEdit1->setText(position);
    LabeledEdit1->setFocus(Qt::OtherFocusReason);
}

bool Tcrtransform::readField(const QLineEdit* field, std::int32_t& value)
{
    const std::string text = field->text().toUpper().toStdString();
    if (text.empty()) {
        value = 0;
        return true;
    }
    if (text.front() == 'H') {
        bool error = text.size() == 1;
        const std::int32_t number = HexToInt(std::string_view(text).substr(1), error);
        if (error)
            wb_.dialogs().showMessage(this, wb_.badNumberMessage); // the value stays; OK goes on
        else
            value = number;
        return true;
    }
    const std::optional<std::int32_t> number = parseDecimalInteger(text);
    if (!number) {
        wb_.dialogs().showMessage(this, wb_.badNumberMessage);
        return false;
    }
    value = *number;
    return true;
}

void Tcrtransform::Button1Click()
{
    confirmed_ = true;
    SharedState& s = wb_.state;
    if (!readField(LabeledEdit1, s.scriptStart) || !readField(Edit1, s.scriptEnd))
        return;
    const QString preset = QStringLiteral("dump_") + LabeledEdit1->text() + QStringLiteral(".txt");
    const std::optional<QString> chosen = mode_ == Mode::Extract
                                              ? wb_.dialogs().saveFileName(this, dumpFileDialog(wb_, preset, true))
                                              : wb_.dialogs().openFileName(this, dumpFileDialog(wb_, QString(), false));
    // A cancelled file dialog leaves the script dialog open.
    if (!chosen)
        return;
    fileName_ = *chosen;
    accept();
}

void Tcrtransform::Button2Click()
{
    reject();
}

void Tcrtransform::reject()
{
    // Cancel and the close box alike: the command does nothing.
    confirmed_ = false;
    QDialog::reject();
}

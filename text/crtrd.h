#pragma once
#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class Workbench;

// The script dialog: start and end offsets and the dump file of Extract
// Script and Replace Script.
class Tcrtransform : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Extract, Replace };

    Tcrtransform(Workbench& workbench, QWidget* parent);

    // Sets the mode and caption and shows the dialog through the dialog seam.
    // The chosen dump file when OK and its file dialog were both confirmed;
    // the offsets are then in the shared state's script start and end.
    std::optional<QString> execute(Mode mode);

    QLabel* LabeledEdit1Label = nullptr;
    QLineEdit* LabeledEdit1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

    void Button1Click();
    void Button2Click();
    // Cancel and the close box alike.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    // Reads one field into `value`; false when a decimal number is bad,
    // which stops OK.
    bool readField(const QLineEdit* field, std::int32_t& value);

    Workbench& wb_;
    Mode mode_ = Mode::Extract;
    bool confirmed_ = false;
    QString fileName_;
};

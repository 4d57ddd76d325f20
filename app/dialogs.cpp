#include "app/dialogs.h"

#include "app/filefilter.h"
#include "app/inputbox.h"
#include "app/messagebox.h"
#include "app/sharedstate.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace {
std::optional<QString> runFileDialog(QWidget* parent, const FileDialogOptions& options,
                                     QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, options.title);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(QString::fromStdString(qtFileFilter(options.filter.toStdString())));
    dialog.setDefaultSuffix(QString::fromStdString(suffixWithoutDot(options.defaultExtension.toStdString())));
    if (!options.fileName.isEmpty())
        dialog.selectFile(options.fileName);
    if (!options.confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // A name typed without an extension takes that of the filter in force,
    // so "name" under "IPS Patch (*.ips)" is saved as name.ips.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        const QRegularExpressionMatch pattern = QRegularExpression(QStringLiteral("\\(\\*\\.(\\w+)")).match(filter);
        if (pattern.hasMatch())
            dialog.setDefaultSuffix(pattern.captured(1));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}
} // namespace

std::optional<QString> QtDialogs::openFileName(QWidget* parent, const FileDialogOptions& options)
{
    return runFileDialog(parent, options, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDialogs::saveFileName(QWidget* parent, const FileDialogOptions& options)
{
    return runFileDialog(parent, options, QFileDialog::AcceptSave);
}

void QtDialogs::showMessage(QWidget* parent, const QString& text)
{
    MessageForm box(parent, QString::fromLatin1(kApplicationTitle), text);
    box.exec();
}

std::optional<Colour> QtDialogs::chooseColour(QWidget* parent, Colour initial)
{
    const QColor chosen = QColorDialog::getColor(QColor(redOf(initial), greenOf(initial), blueOf(initial)),
                                                 parent);
    if (!chosen.isValid())
        return std::nullopt;
    return rgbColour(chosen.red(), chosen.green(), chosen.blue());
}

std::optional<QString> QtDialogs::inputBox(TInputForm& box, const InputRequest& request)
{
    return box.query(request);
}

void QtDialogs::runModal(QDialog& dialog)
{
    dialog.exec();
}

SaveChangesAnswer QtDialogs::askSaveChanges(QWidget* parent, const SaveChangesQuestion& question)
{
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kApplicationTitle), question.text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.button(QMessageBox::Save)->setText(question.save);
    box.button(QMessageBox::Discard)->setText(question.discard);
    box.button(QMessageBox::Cancel)->setText(question.cancel);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveChangesAnswer::Save;
    case QMessageBox::Discard:
        return SaveChangesAnswer::Discard;
    default:
        return SaveChangesAnswer::Cancel;
    }
}

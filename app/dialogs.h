#pragma once
// Every file dialog, message box, colour dialog and input box of the program
// goes through this one seam, so tests can answer them.
#include "tiles/palette.h"

#include <QString>

#include <optional>

class QWidget;

struct FileDialogOptions {
    QString title;
    QString filter;           // "description|patterns|..." pairs
    QString defaultExtension; // ".nes"; appended when the typed name has none
    bool confirmOverwrite = true;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual std::optional<QString> openFileName(QWidget* parent, const FileDialogOptions& options) = 0;
    virtual std::optional<QString> saveFileName(QWidget* parent, const FileDialogOptions& options) = 0;
    // A plain message box with one OK button.
    virtual void showMessage(QWidget* parent, const QString& text) = 0;
    virtual std::optional<Colour> chooseColour(QWidget* parent, Colour initial) = 0;
};

// Qt's standard dialogs.
class QtDialogs final : public Dialogs {
public:
    std::optional<QString> openFileName(QWidget* parent, const FileDialogOptions& options) override;
    std::optional<QString> saveFileName(QWidget* parent, const FileDialogOptions& options) override;
    void showMessage(QWidget* parent, const QString& text) override;
    std::optional<Colour> chooseColour(QWidget* parent, Colour initial) override;
};

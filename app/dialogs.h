#pragma once
// Every file dialog, message box, colour dialog and input box of the program
// goes through this one seam, so tests can answer them.
#include "tiles/palette.h"

#include <QString>

#include <bitset>
#include <optional>

class QWidget;
class TInputForm;
class QDialog;

// The characters an input box lets the user type, one bit per 8-bit code.
using AllowedChars = std::bitset<256>;

struct InputRequest {
    QString caption;
    QString prompt;
    AllowedChars allowed;
    int maxLength = 0;
    QString text; // in the field as the box opens, selected; empty: none
};

struct FileDialogOptions {
    QString title;
    QString filter;           // "description|patterns|..." pairs
    QString defaultExtension; // ".nes"; appended when the typed name has none
    bool confirmOverwrite = true;
    QString fileName;         // preset in the name field; empty: none
};

// The question asked before unsaved changes would be lost, with the captions
// of its three buttons.
struct SaveChangesQuestion {
    QString text;
    QString save;
    QString discard;
    QString cancel;
};
enum class SaveChangesAnswer { Save, Discard, Cancel };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual std::optional<QString> openFileName(QWidget* parent, const FileDialogOptions& options) = 0;
    virtual std::optional<QString> saveFileName(QWidget* parent, const FileDialogOptions& options) = 0;
    // A plain message box with one OK button.
    virtual void showMessage(QWidget* parent, const QString& text) = 0;
    virtual std::optional<Colour> chooseColour(QWidget* parent, Colour initial) = 0;
    // The program's own input box; nothing when it was not confirmed.
    virtual std::optional<QString> inputBox(TInputForm& box, const InputRequest& request) = 0;
    // Shows one of the program's own dialogs (script, search) modally; the
    // dialog keeps its own result.
    virtual void runModal(QDialog& dialog) = 0;
    // Save, Discard or Cancel; closing the box counts as Cancel.
    virtual SaveChangesAnswer askSaveChanges(QWidget* parent, const SaveChangesQuestion& question) = 0;
};

// Qt's standard dialogs.
class QtDialogs final : public Dialogs {
public:
    std::optional<QString> openFileName(QWidget* parent, const FileDialogOptions& options) override;
    std::optional<QString> saveFileName(QWidget* parent, const FileDialogOptions& options) override;
    void showMessage(QWidget* parent, const QString& text) override;
    std::optional<Colour> chooseColour(QWidget* parent, Colour initial) override;
    std::optional<QString> inputBox(TInputForm& box, const InputRequest& request) override;
    void runModal(QDialog& dialog) override;
    SaveChangesAnswer askSaveChanges(QWidget* parent, const SaveChangesQuestion& question) override;
};

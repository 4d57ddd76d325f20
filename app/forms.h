#pragma once
// The ten windows of the program and what each is handed: the shared state,
// the other windows, the language texts and the dialog seam.
#include "app/codepage.h"
#include "app/dialogs.h"
#include "app/languagetexts.h"
#include "app/settings.h"
#include "app/sharedstate.h"

#include <memory>

class TQuarnTileMapper;
class TInputForm;
class TAboutForm;
class TSearchForm;
class Tcrtransform;
class Tsearchresform;
class Ttilemapform;
class Tteditform;
class Tdataform;
class Tworkspaceform;
class Tpointerform;

struct Forms {
    TQuarnTileMapper* mainForm = nullptr;
    TInputForm* inputForm = nullptr;
    TAboutForm* aboutForm = nullptr;
    TSearchForm* searchForm = nullptr;
    Tcrtransform* crtransForm = nullptr;
    Tsearchresform* searchResForm = nullptr;
    Ttilemapform* tileMapForm = nullptr;
    Tteditform* tileEditForm = nullptr;
    Tdataform* dataForm = nullptr;
    Tworkspaceform* workspaceForm = nullptr;
    Tpointerform* pointerForm = nullptr;
};

// Owned by the main window; every window keeps a reference to it.
class Workbench {
public:
    SharedState state;
    Forms forms;
    LanguageTexts texts;
    CodePage codePage;         // how table texts are shown and typed
    QString badNumberMessage;  // the "Errs" text as it stood at start-up
    // Where the language number is kept; none: it is not kept (tests keep
    // theirs in a temporary file).
    std::unique_ptr<PersistedSettings> settings;
    QString languageFolder;    // the program's "lang" folder unless set

    Dialogs& dialogs() { return overrideDialogs_ ? *overrideDialogs_ : qtDialogs_; }
    // Tests answer the dialogs themselves; nullptr returns to Qt's dialogs.
    void setDialogs(Dialogs* dialogs) { overrideDialogs_ = dialogs; }

    QString text(std::string_view key) const { return QString::fromStdString(texts.text(key)); }

    // A file dialog's title and filter from the language texts.
    FileDialogOptions fileDialog(const char* titleKey, const char* filterKey, const char* defaultExtension) const
    {
        return FileDialogOptions{text(titleKey), text(filterKey), QString::fromLatin1(defaultExtension), true, {}};
    }

private:
    QtDialogs qtDialogs_;
    Dialogs* overrideDialogs_ = nullptr;
};

// The program's windows in their fixed order of creation: the main window
// first, then the other nine as its children. The main window owns them all.
std::unique_ptr<TQuarnTileMapper> createApplicationWindows();

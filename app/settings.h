#pragma once
// What the program keeps between runs: the language number and the code page
// of table texts. The store is the per-user "KVR_1_5" settings (on Windows the
// registry key HKEY_CURRENT_USER\SOFTWARE\KVR_1_5).
#include "app/codepage.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QSettings;

class PersistedSettings {
public:
    // The user's own store.
    PersistedSettings();
    // An INI file instead, so tests never touch the user's settings.
    explicit PersistedSettings(const QString& iniFile);
    ~PersistedSettings();

    // "Language": 0 = built-in English, n = the n-th language file. Missing,
    // not a number or negative counts as 0.
    int language() const;
    void setLanguage(int language);

    // "CodePage": a converter name such as "windows-1251"; empty when none.
    QString codePageName() const;
    void setCodePageName(const QString& name);

private:
    std::unique_ptr<QSettings> store_;
};

// The program's own command-line options; Qt's options are gone by then.
struct StartupArguments {
    QString romFile;                 // the first argument that is no option
    std::optional<QString> codePage; // --codepage NAME or --codepage=NAME
    QStringList problems;            // one line each, for stderr
};

// `arguments` without the program name.
StartupArguments parseStartupArguments(const QStringList& arguments);

// The code page for this run: a valid `requested` one is also remembered;
// an unknown one adds a line to `problems` and the stored (or default
// windows-1252) one is used.
CodePage startupCodePage(PersistedSettings& settings, const std::optional<QString>& requested,
                         QStringList& problems);

#include "app/settings.h"

#include <QSettings>

namespace {
const QString kLanguage = QStringLiteral("Language");
const QString kCodePage = QStringLiteral("CodePage");
const QString kCodePageOption = QStringLiteral("--codepage");
} // namespace

namespace {
std::unique_ptr<QSettings> userStore()
{
#ifdef Q_OS_WIN
    // The values sit straight in HKEY_CURRENT_USER\SOFTWARE\KVR_1_5.
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\KVR_1_5"),
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::UserScope, QStringLiteral("KVR_1_5"));
#endif
}
} // namespace

PersistedSettings::PersistedSettings()
    // With no application name the values sit directly under the KVR_1_5 key.
    : store_(userStore())
{
}

PersistedSettings::PersistedSettings(const QString& iniFile)
    : store_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
}

PersistedSettings::~PersistedSettings() = default;

int PersistedSettings::language() const
{
    bool ok = false;
    const int value = store_->value(kLanguage).toString().toInt(&ok);
    return ok && value > 0 ? value : 0;
}

void PersistedSettings::setLanguage(int language)
{
    // Kept as text holding a decimal number, as the registry value always was.
    store_->setValue(kLanguage, QString::number(language));
    store_->sync();
}

QString PersistedSettings::codePageName() const
{
    return store_->value(kCodePage).toString();
}

void PersistedSettings::setCodePageName(const QString& name)
{
    store_->setValue(kCodePage, name);
    store_->sync();
}

StartupArguments parseStartupArguments(const QStringList& arguments)
{
    StartupArguments result;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith(QStringLiteral("--"))) {
            if (result.romFile.isEmpty())
                result.romFile = argument;
            continue;
        }
        if (argument == QStringLiteral("--")) {
            optionsEnded = true;
        } else if (argument == kCodePageOption) {
            if (i + 1 < arguments.size())
                result.codePage = arguments.at(++i);
            else
                result.problems << QStringLiteral("--codepage needs a code page name, for example windows-1251");
        } else if (argument.startsWith(kCodePageOption + QLatin1Char('='))) {
            result.codePage = argument.mid(kCodePageOption.size() + 1);
        } else {
            result.problems << QStringLiteral("Unknown option %1 ignored").arg(argument);
        }
    }
    return result;
}

namespace {
CodePage storedCodePage(const PersistedSettings& settings)
{
    const CodePage stored(settings.codePageName());
    return stored.isValid() ? stored : CodePage();
}
} // namespace

CodePage startupCodePage(PersistedSettings& settings, const std::optional<QString>& requested,
                         QStringList& problems)
{
    if (!requested)
        return storedCodePage(settings);
    const CodePage chosen(*requested);
    if (chosen.isValid()) {
        settings.setCodePageName(*requested);
        return chosen;
    }
    const CodePage kept = storedCodePage(settings);
    problems << QStringLiteral("Unknown code page \"%1\"; keeping %2").arg(*requested, kept.name());
    return kept;
}

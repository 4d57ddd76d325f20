// Languages from the language menu, and the desktop's "Open with" entry.
#include "apphelper.h"
#include "guitest.h"

#include "about/about.h"
#include "app/languageplaces.h"
#include "app/inputbox.h"
#include "search/searchform.h"
#include "search/srres.h"
#include "text/crtrd.h"
#include "text/dataf.h"
#include "tiles/teditf.h"
#include "workspace/workspacef.h"
#include "tiles/tmform.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSettings>

namespace {
void writeText(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class LanguagesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;
    QTemporaryDir dataHome;

    QAction* item(const char* name) { return app->main->action(name); }
    QString storedLanguage()
    {
        return QSettings(app->dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat)
            .value(QStringLiteral("Language"))
            .toString();
    }
    QString closeCaption()
    {
        return app->find<QPushButton>(app->wb().forms.aboutForm, "Button1")->text();
    }
    QString entryFile() { return dataHome.filePath(QStringLiteral("applications/quarn-tile-mapper-open-with.desktop")); }
    void start(const std::function<void(RunningApp&)>& beforeShow = {})
    {
        app = std::make_unique<RunningApp>(beforeShow);
    }

private slots:
    void init() { qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit()); }
    void cleanup()
    {
        app.reset();
        QDir(dataHome.filePath(QStringLiteral("applications"))).removeRecursively();
    }

    void firstStartIsEnglishAndWritesOnlyTheLanguage()
    {
        start();
        QVERIFY(item("English")->isChecked());
        QCOMPARE(storedLanguage(), QStringLiteral("0"));
        QVERIFY(item("N11")->isChecked() && item("N12")->isChecked() && item("N13")->isChecked());
        QVERIFY(!item("N29")->isChecked() && !item("LCnt")->isChecked() && !item("vstrfont")->isChecked());
        QVERIFY(!item("N30")->isChecked());
        QVERIFY(!QDir(dataHome.filePath(QStringLiteral("applications"))).exists());
        // Every place a text goes exists.
        for (const TextPlace& place : kTextPlaces)
            if (*place.component)
                QVERIFY2(!app->main->findChildren<QObject*>(QString::fromLatin1(place.component)).isEmpty(),
                         place.component);
    }

    void filesInNameOrderAndKeysTheyLackKeepTheirText()
    {
        start([](RunningApp& a) {
            writeText(a.wb().languageFolder + QStringLiteral("/b.lng"),
                      "[KVR_Language]\r\nlanguage=Beta\r\n[Constant]\r\nOptions=Optionen\r\n");
            writeText(a.wb().languageFolder + QStringLiteral("/A.lng"),
                      "[KVR_Language]\r\nlanguage=Alpha\r\n[Variable]\r\nClose=Zu\r\nClear = \"Leeren\"\r\n");
        });
        QCOMPARE(item("Language1")->text(), QStringLiteral("Alpha"));
        QCOMPARE(item("Language2")->text(), QStringLiteral("Beta"));
        item("Language1")->trigger();
        QCOMPARE(storedLanguage(), QStringLiteral("1"));
        QCOMPARE(closeCaption(), QStringLiteral("Zu"));
        QCOMPARE(item("N28")->text(), QStringLiteral("Leeren"));
        item("Language2")->trigger();
        QCOMPARE(storedLanguage(), QStringLiteral("2"));
        QCOMPARE(closeCaption(), QStringLiteral("Zu")); // Beta has no Close
        QCOMPARE(item("optItm")->text(), QStringLiteral("Optionen"));
        item("English")->trigger();
        item("Language2")->trigger();
        QCOMPARE(closeCaption(), QStringLiteral("Close"));
        QVERIFY(item("Language2")->isChecked() && !item("English")->isChecked() && !item("Language1")->isChecked());
        // The bad number message keeps the start-up language.
        QCOMPARE(app->wb().badNumberMessage, QStringLiteral("Non numeric value entered!!!"));
    }

    void storedLanguageIsRestoredOrFallsBackToEnglish()
    {
        const QString lang = QStringLiteral("/Russian.lng");
        start([lang](RunningApp& a) {
            QDir().mkpath(a.wb().languageFolder);
            QFile::copy(QStringLiteral(QUARN_LANG_DIR) + lang, a.wb().languageFolder + lang);
            a.wb().settings->setLanguage(1);
        });
        QVERIFY(item("Language1")->isChecked());
        // Every window speaks the file's language.
        Workbench& wb = app->wb();
        QVERIFY(wb.text("Cancel") != QStringLiteral("Cancel"));
        const auto shows = [&](QWidget* window, const char* name, const char* key) {
            QObject* target = app->main->findChild<QObject*>(QString::fromLatin1(name));
            for (QObject* candidate : window->findChildren<QObject*>(QString::fromLatin1(name)))
                target = candidate;
            const QString text = wb.text(key);
            if (auto* action = qobject_cast<QAction*>(target))
                return action->text().startsWith(text);
            if (auto* label = qobject_cast<QLabel*>(target))
                return label->text().startsWith(text);
            if (auto* button = qobject_cast<QAbstractButton*>(target))
                return button->text().startsWith(text) || button->toolTip().startsWith(text);
            return false;
        };
        const Forms& f = wb.forms;
        QVERIFY(shows(f.searchForm, "FindBtn", "Find"));
        QVERIFY(shows(f.crtransForm, "Button2", "Cancel"));
        QVERIFY(shows(f.inputForm, "ifCnclbtn", "Cancel"));
        QVERIFY(shows(f.workspaceForm, "getBtn", "GetFromROM"));
        QVERIFY(shows(f.searchResForm, "N4", "Close"));
        QVERIFY(shows(f.dataForm, "Label2", "SelPosition"));
        QVERIFY(shows(f.tileEditForm, "ClearBtn", "Clear"));
        QVERIFY(shows(f.aboutForm, "Button1", "Close"));
        QVERIFY(shows(app->main.get(), "N25", "ViewSearchResult"));
        QVERIFY(f.tileMapForm->windowTitle().startsWith(wb.text("TileMapForm")));
        QVERIFY(shows(f.aboutForm, "Version", "AboutVersion"));
        QVERIFY(app->find<QLabel>(f.aboutForm, "Label4")->text().endsWith(wb.text("AboutModifiers")));
        QVERIFY(app->find<QLabel>(f.aboutForm, "Links")->text().contains(wb.text("Documentation")));
        // Messages the windows build come from the texts too.
        app->open(app->writeFile(QStringLiteral("game.nes"), countingBytes(0x4000)));
        app->dialogs.inputAnswers.push_back(QStringLiteral("zz"));
        item("N28")->trigger();
        QCOMPARE(app->dialogs.messages, QStringList{wb.text("NotAnInteger").arg(QStringLiteral("zz"))});
        QVERIFY(!app->dialogs.messages.front().contains(QStringLiteral("valid")));

        app.reset();
        start([](RunningApp& a) { a.wb().settings->setLanguage(5); }); // no such file
        QVERIFY(item("English")->isChecked());
        QCOMPARE(storedLanguage(), QStringLiteral("0"));
    }

    void openWithEntryOnOffOnAndAcrossLanguages()
    {
        start([](RunningApp& a) {
            writeText(a.wb().languageFolder + QStringLiteral("/x.lng"),
                      "[KVR_Language]\r\nlanguage=X\r\n[Variable]\r\nregopenkey=Open with\r\n");
        });
        QVERIFY(!item("N30")->isChecked());
        item("N30")->trigger();
        QVERIFY(item("N30")->isChecked());
        const QByteArray entry = readText(entryFile());
        QVERIFY(entry.contains("\nName=Open in Quarn Tile Mapper\n"));
        QVERIFY(entry.contains("NoDisplay=true") && entry.contains("application/octet-stream;"));
        QVERIFY(entry.contains(QCoreApplication::applicationFilePath().toUtf8() + " %f"));
        item("N30")->trigger();
        QVERIFY(!QFile::exists(entryFile()));
        item("N30")->trigger();
        item("Language1")->trigger();
        QVERIFY(readText(entryFile()).contains("\nName=Open with Quarn Tile Mapper\n"));
        QCOMPARE(QDir(dataHome.filePath(QStringLiteral("applications"))).entryList({QStringLiteral("*.desktop")}).size(), 1);

        // The next start finds the entry in place.
        app.reset();
        start();
        QVERIFY(item("N30")->isChecked());
    }
};

QUARN_GUI_TEST(languages, LanguagesTest);
#include "languages_test.moc"

#pragma once
// Starts the real program windows offscreen with scripted dialogs.
#include "app/forms.h"
#include "app/kvrmain.h"
#include "scripteddialogs.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <vector>

struct RunningApp {
    ScriptedDialogs dialogs;
    std::unique_ptr<TQuarnTileMapper> main = createApplicationWindows();
    QTemporaryDir dir;

    // `beforeShow` runs before the start-up sequence (to lay out language
    // files, for example).
    explicit RunningApp(const std::function<void(RunningApp&)>& beforeShow = {})
    {
        Workbench& wb = main->workbench();
        wb.setDialogs(&dialogs);
        // Never the user's own settings or language files.
        wb.settings = std::make_unique<PersistedSettings>(dir.filePath(QStringLiteral("settings.ini")));
        wb.languageFolder = dir.filePath(QStringLiteral("lang"));
        if (beforeShow)
            beforeShow(*this);
        main->show();
    }
    Workbench& wb() { return main->workbench(); }
    SharedState& state() { return main->workbench().state; }
    template <typename T>
    T* find(QWidget* window, const char* name)
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QString writeFile(const QString& name, const std::vector<std::uint8_t>& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        return path;
    }
    // Opens a ROM through the menu and the open dialog, as a user does.
    void open(const QString& path)
    {
        dialogs.openAnswers.push_back(path);
        main->action("OpenItem")->trigger();
    }
};

// A test's own write into the image, recorded like any command's.
inline void setRomByte(SharedState& state, std::size_t at, std::uint8_t value)
{
    state.rom.edit("Test", {{static_cast<std::int64_t>(at), 1}}, [&](std::span<std::uint8_t> rom) { rom[at] = value; });
}

// Bytes 0, 1, 2, ... wrapping at 256.
inline std::vector<std::uint8_t> countingBytes(std::size_t size)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
}

// Drops files from the file manager onto a window.
inline void dropFiles(QWidget* target, const QStringList& paths)
{
    const auto mime = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    mime->setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime.get(), Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mime.get(), Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

// Undo and Redo of the ROM menu, for the ROM image and the workspace buffer.
#include "app/kvrmain.h"
#include "tiles/tmform.h"
#include "workspace/workspacef.h"

#include <QAction>
#include <QGuiApplication>
#include <QWindow>

ByteDocument& TQuarnTileMapper::activeDocument()
{
    const QWindow* workspace = wb_.forms.workspaceForm ? wb_.forms.workspaceForm->windowHandle() : nullptr;
    if (workspace && QGuiApplication::focusWindow() == workspace)
        return wb_.state.workspace;
    return wb_.state.rom;
}

void TQuarnTileMapper::UndoItemClick() { stepHistory(true); }
void TQuarnTileMapper::RedoItemClick() { stepHistory(false); }

void TQuarnTileMapper::stepHistory(bool back)
{
    SharedState& s = wb_.state;
    ByteDocument& document = activeDocument();
    if (&document == &s.workspace) {
        if (!(back ? document.undo() : document.redo()))
            return;
        wb_.forms.workspaceForm->redraw();
    } else {
        if (!s.romLoaded || !(back ? document.undo() : document.redo()))
            return;
        // Every window shows it, along the path the tile editor's edits take;
        // the document has set the title's "*" already.
        wb_.forms.tileMapForm->setTileMapPosition(s.tileMapPosition);
    }
}

QString TQuarnTileMapper::undoCaption(const char* key, const std::string& stepName) const
{
    if (stepName.empty())
        return wb_.text(key);
    // Steps are named by the language key of their command where there is one.
    const QString name =
        wb_.texts.has(stepName) ? wb_.text(stepName) : QString::fromStdString(stepName);
    return wb_.text(key) + QLatin1Char(' ') + name;
}

void TQuarnTileMapper::updateUndoItems()
{
    const ByteDocument& document = activeDocument();
    QAction* undo = action("UndoItem");
    QAction* redo = action("RedoItem");
    if (!undo || !redo)
        return; // the menus are not built yet
    undo->setEnabled(document.canUndo());
    undo->setText(undoCaption("Undo", document.undoName()));
    redo->setEnabled(document.canRedo());
    redo->setText(undoCaption("Redo", document.redoName()));
}

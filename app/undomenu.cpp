// Undo and Redo of the ROM menu, for the ROM image and the workspace buffer.
#include "app/kvrmain.h"
#include "app/recordededit.h"
#include "tiles/tmform.h"
#include "workspace/workspacef.h"

#include <QAction>
#include <QGuiApplication>
#include <QWindow>

EditBuffer TQuarnTileMapper::activeEditBuffer() const
{
    const QWindow* workspace = wb_.forms.workspaceForm ? wb_.forms.workspaceForm->windowHandle() : nullptr;
    return workspace && QGuiApplication::focusWindow() == workspace ? EditBuffer::Workspace : EditBuffer::Rom;
}

void TQuarnTileMapper::UndoItemClick() { stepHistory(true); }
void TQuarnTileMapper::RedoItemClick() { stepHistory(false); }

void TQuarnTileMapper::stepHistory(bool back)
{
    SharedState& s = wb_.state;
    if (activeEditBuffer() == EditBuffer::Workspace) {
        EditHistory& history = wb_.workspaceHistory;
        if (!(back ? history.undo(s.workspace) : history.redo(s.workspace)))
            return;
        wb_.forms.workspaceForm->redraw();
    } else {
        EditHistory& history = wb_.romHistory;
        if (!s.romLoaded || !(back ? history.undo(s.rom) : history.redo(s.rom)))
            return;
        // Like any edit: the image differs from the file, and the titles and
        // every window show it, along the path the tile editor's edits take.
        s.saved = 0;
        wb_.forms.tileMapForm->setTileMapPosition(s.tileMapPosition);
    }
    updateUndoItems();
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
    const EditHistory& history =
        activeEditBuffer() == EditBuffer::Workspace ? wb_.workspaceHistory : wb_.romHistory;
    QAction* undo = action("UndoItem");
    QAction* redo = action("RedoItem");
    undo->setEnabled(history.canUndo());
    undo->setText(undoCaption("Undo", history.undoName()));
    redo->setEnabled(history.canRedo());
    redo->setText(undoCaption("Redo", history.redoName()));
}

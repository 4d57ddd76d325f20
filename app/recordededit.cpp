#include "app/recordededit.h"

#include "app/forms.h"
#include "app/kvrmain.h"

RecordedEdit::RecordedEdit(Workbench& workbench, EditBuffer buffer)
    : wb_(workbench), buffer_(buffer), generation_(history().generation())
{
}

std::span<std::uint8_t> RecordedEdit::bytes() const
{
    if (buffer_ == EditBuffer::Rom)
        return wb_.state.rom;
    return wb_.state.workspace;
}

EditHistory& RecordedEdit::history() const
{
    return buffer_ == EditBuffer::Rom ? wb_.romHistory : wb_.workspaceHistory;
}

RecordedEdit& RecordedEdit::watch(std::int64_t offset, std::int64_t length)
{
    snapshot_.watch(bytes(), offset, length);
    return *this;
}

void RecordedEdit::commit(const std::string& name)
{
    // A ROM opened or reloaded since the bytes were noted: they belong to an
    // image that is gone.
    if (history().generation() != generation_)
        return;
    history().record(EditStep{name, snapshot_.takeChanges(bytes())});
    if (wb_.forms.mainForm)
        wb_.forms.mainForm->updateUndoItems();
}

#pragma once
// One user command's writes into the ROM image or the workspace buffer, noted
// before the command writes and kept afterwards as one step of that buffer's
// edit history. The command's own write functions stay as they are.
#include "app/edithistory.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class Workbench;

enum class EditBuffer { Rom, Workspace };

class RecordedEdit {
public:
    RecordedEdit(Workbench& workbench, EditBuffer buffer);
    // Notes the bytes the command may write; call before it writes them.
    RecordedEdit& watch(std::int64_t offset, std::int64_t length);
    // Keeps the bytes that changed as one step called `name`: a language key
    // when one names the command, otherwise the name itself.
    void commit(const std::string& name);

private:
    std::span<std::uint8_t> bytes() const;
    EditHistory& history() const;

    Workbench& wb_;
    EditBuffer buffer_;
    EditSnapshot snapshot_;
    std::uint64_t generation_;
};

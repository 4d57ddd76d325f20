#include "app/romdocument.h"

#include <algorithm>
#include <utility>

bool ByteDocument::edit(const std::string& name, std::span<const EditRange> ranges, const Write& write)
{
    if (openStep_) {
        // The step's snapshot keeps the bytes as they were before its first
        // write; what changed is counted when it ends.
        for (const EditRange& range : ranges)
            openStep_->snapshot.watch(bytes_, range.offset, range.length);
        write(bytes_);
        return true;
    }
    EditSnapshot snapshot;
    for (const EditRange& range : ranges)
        snapshot.watch(bytes_, range.offset, range.length);
    write(bytes_);
    std::vector<ChangedSpan> spans = snapshot.takeChanges(bytes_);
    if (spans.empty())
        return false;
    history_.record(EditStep{name, std::move(spans)});
    changed();
    return true;
}

void ByteDocument::beginStep(const std::string& name)
{
    if (!openStep_)
        openStep_.emplace(OpenStep{name, {}});
}

bool ByteDocument::endStep()
{
    if (!openStep_)
        return false;
    OpenStep step = std::move(*openStep_);
    openStep_.reset();
    std::vector<ChangedSpan> spans = step.snapshot.takeChanges(bytes_);
    if (spans.empty())
        return false;
    history_.record(EditStep{std::move(step.name), std::move(spans)});
    changed();
    return true;
}

bool ByteDocument::undo()
{
    endStep();
    if (!history_.undo(bytes_))
        return false;
    changed();
    return true;
}

bool ByteDocument::redo()
{
    endStep();
    if (!history_.redo(bytes_))
        return false;
    changed();
    return true;
}

void ByteDocument::markSaved()
{
    // The bytes written include a stroke under way: it ends here, so the
    // saved point is a position of the history and undoing the stroke later
    // counts as a change.
    endStep();
    savedPosition_ = history_.position();
    changed();
}

void ByteDocument::reset(RomBytes bytes)
{
    bytes_ = std::move(bytes);
    openStep_.reset();
    history_.clear();
    savedPosition_ = history_.position();
    changed();
}

bool ByteDocument::replaceAll(const std::string& name, RomBytes bytes)
{
    if (bytes.size() == bytes_.size())
        return edit(name, {{0, static_cast<std::int64_t>(bytes.size())}},
                    [&](std::span<std::uint8_t> buffer) { std::copy(bytes.begin(), bytes.end(), buffer.begin()); });
    bytes_ = std::move(bytes);
    openStep_.reset();
    history_.clear();
    savedPosition_.reset();
    changed();
    return true;
}

void ByteDocument::resize(std::size_t size)
{
    if (size == bytes_.size())
        return;
    bytes_.resize(size, 0);
    openStep_.reset();
    history_.clear();
    savedPosition_.reset();
    changed();
}

void ByteDocument::swapContents(ByteDocument& other)
{
    std::swap(bytes_, other.bytes_);
    std::swap(history_, other.history_);
    std::swap(savedPosition_, other.savedPosition_);
    std::swap(openStep_, other.openStep_);
    changed();
    other.changed();
}

void RomDocument::swap(RomDocument& other)
{
    std::swap(fileName_, other.fileName_);
    swapContents(other);
}

void RomDocument::open(RomBytes bytes, std::string fileName)
{
    fileName_ = std::move(fileName);
    reset(std::move(bytes));
}

void RomDocument::savedAs(std::string fileName)
{
    fileName_ = std::move(fileName);
    markSaved();
}

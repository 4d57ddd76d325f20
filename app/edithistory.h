#pragma once
// Undo and redo of writes into a byte buffer (the ROM image, the workspace).
// A step keeps only the runs of bytes a command changed, never a copy of the
// buffer, and the history drops its oldest steps beyond a byte budget.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

// One run of changed bytes: what was there before the command and after it.
struct ChangedSpan {
    std::size_t offset = 0;
    std::vector<std::uint8_t> before;
    std::vector<std::uint8_t> after;
    bool operator==(const ChangedSpan&) const = default;
};

// One user action: a paint stroke, an import, a whole script.
struct EditStep {
    std::string name; // what the Undo and Redo captions call it
    std::vector<ChangedSpan> spans;
    // What the step costs the history's budget.
    [[nodiscard]] std::size_t heldBytes() const;
};

// Bytes to write at an offset; they point into the history.
struct SpanWrite {
    std::size_t offset = 0;
    std::span<const std::uint8_t> bytes;
};

// Writes what undo or redo returned; bytes past the end of `buffer` are left out.
void applyWrites(std::vector<std::uint8_t>& buffer, const std::vector<SpanWrite>& writes);

// The bytes of some ranges of a buffer as they were before a command wrote,
// so that after it only the bytes that really changed are kept.
class EditSnapshot {
public:
    // Ranges are cut to the buffer; overlapping or touching ones are joined.
    // Call before the command writes into the range; bytes already watched
    // keep the value they had when first watched.
    void watch(std::span<const std::uint8_t> buffer, std::int64_t offset, std::int64_t length);
    // The runs of watched bytes that differ in `buffer` now.
    [[nodiscard]] std::vector<ChangedSpan> changes(std::span<const std::uint8_t> buffer) const;
    [[nodiscard]] bool empty() const { return ranges_.empty(); }

private:
    struct Range {
        std::size_t offset = 0;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Range> ranges_; // sorted by offset, disjoint
};

inline constexpr std::size_t kEditHistoryBudget = std::size_t{64} << 20;

class EditHistory {
public:
    explicit EditHistory(std::size_t budget = kEditHistoryBudget) : budget_(budget) {}

    // Adds a step after the current one; the steps that could be redone are
    // dropped, and the oldest steps go while the history holds more than the
    // budget (a step larger than the whole budget is not kept at all).
    // A step without changed bytes is not recorded.
    void record(EditStep step);
    [[nodiscard]] bool canUndo() const { return current_ > 0; }
    [[nodiscard]] bool canRedo() const { return current_ < steps_.size(); }
    // Names of the step undo and redo would take; empty when there is none.
    [[nodiscard]] std::string undoName() const;
    [[nodiscard]] std::string redoName() const;
    // The old bytes of the last step done (nothing when there is none).
    [[nodiscard]] std::vector<SpanWrite> undo();
    // The new bytes of the next step undone (nothing when there is none).
    [[nodiscard]] std::vector<SpanWrite> redo();
    void clear();

    [[nodiscard]] std::size_t heldBytes() const { return held_; }
    [[nodiscard]] std::size_t stepCount() const { return steps_.size(); }
    // Changes at every clear, so a command begun before a new image came in
    // can tell that its snapshot no longer belongs to this history.
    [[nodiscard]] std::uint64_t generation() const { return generation_; }

private:
    std::size_t budget_;
    std::deque<EditStep> steps_;
    std::size_t current_ = 0; // steps done; steps_[current_..] can be redone
    std::size_t held_ = 0;
    std::uint64_t generation_ = 0;
};

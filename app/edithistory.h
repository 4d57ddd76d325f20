#pragma once
// Undo and redo of writes into a byte buffer (the ROM image, the workspace).
// A step keeps only the runs of bytes a command changed, never a copy of the
// buffer, and the history drops its oldest steps beyond a byte budget.
//
// A run holds one side of its change: the old bytes while the step can be
// undone, the new ones while it can be redone. Undo and redo swap them with
// the buffer's bytes, which hold the other side, so a step costs its changed
// bytes once rather than twice.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

// One run of changed bytes at `offset`: the side of the change that is not in
// the buffer now.
struct ChangedSpan {
    std::size_t offset = 0;
    std::vector<std::uint8_t> bytes;
    bool operator==(const ChangedSpan&) const = default;
};

// One user action: a paint stroke, an import, a whole script.
struct EditStep {
    std::string name; // what the Undo and Redo captions call it
    std::vector<ChangedSpan> spans;
    std::uint64_t serial = 0; // given by the history that records it
    // What the step costs the history's budget.
    [[nodiscard]] std::size_t heldBytes() const;
};

// The bytes of some ranges of a buffer as they were before a command wrote,
// so that after it only the bytes that really changed are kept.
class EditSnapshot {
public:
    // Ranges are cut to the buffer; overlapping or touching ones are joined.
    // Call before the command writes into the range; bytes already watched
    // keep the value they had when first watched.
    void watch(std::span<const std::uint8_t> buffer, std::int64_t offset, std::int64_t length);
    // The runs of watched bytes that differ in `buffer` now, with their old
    // bytes. Runs closer than a run's own bookkeeping costs are kept as one,
    // the few unchanged bytes between them included. Empties the snapshot.
    [[nodiscard]] std::vector<ChangedSpan> takeChanges(std::span<const std::uint8_t> buffer);
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
    // Puts the old bytes of the last step done back into `buffer` (the buffer
    // the step was recorded on, as that step left it). Bytes past the end of a
    // buffer that has shrunk since are left out. False when there is no step.
    bool undo(std::span<std::uint8_t> buffer);
    // Writes the new bytes of the last step undone again.
    bool redo(std::span<std::uint8_t> buffer);
    void clear();

    [[nodiscard]] std::size_t heldBytes() const { return held_; }
    [[nodiscard]] std::size_t stepCount() const { return steps_.size(); }
    // Changes at every clear, so a command begun before a new image came in
    // can tell that its snapshot no longer belongs to this history.
    [[nodiscard]] std::uint64_t generation() const { return generation_; }
    // Names the state the buffer is in as far as the history knows: equal
    // positions mean equal bytes. A position stops being reachable for good
    // when the steps leading back to it are dropped by the budget or cut off
    // by a new step, and no later state ever gets it again.
    [[nodiscard]] std::uint64_t position() const;

private:
    std::size_t budget_;
    std::deque<EditStep> steps_;
    std::size_t current_ = 0; // steps done; steps_[current_..] can be redone
    std::size_t held_ = 0;
    std::uint64_t generation_ = 0;
    std::uint64_t nextSerial_ = 1;
    // The state before the first step kept: the serial of the last step
    // dropped from the front, or a fresh one after a clear.
    std::uint64_t origin_ = 0;
};

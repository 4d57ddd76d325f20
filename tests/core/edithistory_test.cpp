#include "app/edithistory.h"

#include <gtest/gtest.h>

#include <random>

namespace {
using Bytes = std::vector<std::uint8_t>;

// One command as the windows run it: ranges watched one after another, each
// written (partly, sometimes with the bytes already there) right after it is
// watched, so later watches overlap bytes already changed.
EditStep runRandomCommand(Bytes& buffer, std::mt19937& random, const std::string& name)
{
    EditSnapshot snapshot;
    const auto size = static_cast<std::int64_t>(buffer.size());
    const int watches = std::uniform_int_distribution<int>(1, 4)(random);
    for (int w = 0; w < watches; ++w) {
        // Ranges may start before 0 or run past the end: the snapshot cuts them.
        const std::int64_t offset = std::uniform_int_distribution<std::int64_t>(-8, size)(random);
        const std::int64_t length = std::uniform_int_distribution<std::int64_t>(0, 300)(random);
        snapshot.watch(buffer, offset, length);
        // Some ranges are rewritten in every byte, as an import does.
        const bool everyByte = random() % 3 == 0;
        for (std::int64_t at = std::max<std::int64_t>(0, offset); at < std::min(size, offset + length); ++at) {
            std::uint8_t& b = buffer[static_cast<std::size_t>(at)];
            if (everyByte)
                b = static_cast<std::uint8_t>(~b);
            else if (random() % 3 != 0)
                b = static_cast<std::uint8_t>(random() % 4);
        }
    }
    return EditStep{name, snapshot.takeChanges(buffer)};
}

Bytes randomBytes(std::size_t size, std::mt19937& random)
{
    Bytes bytes(size);
    for (std::uint8_t& b : bytes)
        b = static_cast<std::uint8_t>(random() % 4); // few values: many writes change nothing
    return bytes;
}
} // namespace

// Random commands, undos and redos against a reference that keeps a whole
// copy of the buffer after every step.
TEST(EditHistory, RandomCommandsUndoAndRedoLikeKeptCopies)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        Bytes buffer = randomBytes(1000, random);
        std::vector<Bytes> states{buffer};
        std::size_t current = 0;
        EditHistory history;
        for (int action = 0; action < 60; ++action) {
            const unsigned choice = random() % 5;
            if (choice == 0 && history.canUndo()) {
                ASSERT_TRUE(history.undo(buffer));
                ASSERT_EQ(buffer, states[--current]) << "seed " << seed;
            } else if (choice == 1 && history.canRedo()) {
                ASSERT_TRUE(history.redo(buffer));
                ASSERT_EQ(buffer, states[++current]) << "seed " << seed;
            } else {
                const std::string name = "Command " + std::to_string(action);
                history.record(runRandomCommand(buffer, random, name));
                if (buffer == states[current])
                    continue; // nothing changed: no step
                states.resize(current + 1);
                states.push_back(buffer);
                ++current;
                EXPECT_EQ(history.undoName(), name);
                EXPECT_FALSE(history.canRedo());
            }
            ASSERT_EQ(history.stepCount(), states.size() - 1);
        }
        while (history.undo(buffer)) {
        }
        EXPECT_EQ(buffer, states.front()) << "seed " << seed;
        while (history.redo(buffer)) {
        }
        EXPECT_EQ(buffer, states.back()) << "seed " << seed;
    }
}

TEST(EditHistory, StepsKeepTheOldBytesOfTheChangedRunsOnly)
{
    Bytes buffer(200, 7);
    EditSnapshot snapshot;
    snapshot.watch(buffer, 10, 180);
    buffer[20] = 1;
    buffer[21] = 2;
    buffer[24] = 5;   // near enough to join the run before it
    buffer[40] = 7;   // written with the byte already there
    buffer[189] = 3;  // far: a run of its own
    const std::vector<ChangedSpan> expected{{20, {7, 7, 7, 7, 7}}, {189, {7}}};
    EXPECT_EQ(snapshot.takeChanges(buffer), expected);
}

TEST(EditHistory, HoldsNoMoreThanItsBudgetDroppingTheOldestSteps)
{
    constexpr std::size_t kStep = 1 << 20;
    Bytes buffer(kStep);
    EditHistory history; // the real 64 MiB
    for (int n = 1; n <= 100; ++n) {
        EditSnapshot snapshot;
        snapshot.watch(buffer, 0, kStep);
        std::fill(buffer.begin(), buffer.end(), static_cast<std::uint8_t>(n));
        history.record(EditStep{"Fill", snapshot.takeChanges(buffer)});
        ASSERT_LE(history.heldBytes(), kEditHistoryBudget);
    }
    // A MiB a step and a little more: 63 of them fit.
    EXPECT_EQ(history.stepCount(), 63u);
    while (history.undo(buffer)) {
    }
    EXPECT_EQ(buffer, Bytes(kStep, 100 - 63));

    // A step larger than the whole budget is not kept, and nothing before it either.
    EditHistory small(1000);
    small.record(EditStep{"Small", {{0, {5}}}});
    Bytes little(1200);
    EditSnapshot snapshot;
    snapshot.watch(little, 0, 1200);
    std::fill(little.begin(), little.end(), 1);
    small.record(EditStep{"Big", snapshot.takeChanges(little)});
    EXPECT_FALSE(small.canUndo());
    EXPECT_EQ(small.heldBytes(), 0u);
}

TEST(EditHistory, ClearForgetsEverythingAndSwapsStayInsideTheBuffer)
{
    Bytes buffer(10, 0);
    EditHistory history;
    history.record(EditStep{"Far", {{8, {1, 2, 3, 4}}, {20, {9}}}}); // the buffer has shrunk since
    EXPECT_TRUE(history.undo(buffer));
    EXPECT_EQ(buffer, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 1, 2}));
    const std::uint64_t generation = history.generation();
    history.clear();
    EXPECT_FALSE(history.canRedo() || history.redo(buffer));
    EXPECT_NE(history.generation(), generation);
}

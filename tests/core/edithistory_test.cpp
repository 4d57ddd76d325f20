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
        for (std::int64_t at = std::max<std::int64_t>(0, offset); at < std::min(size, offset + length); ++at)
            if (random() % 3 != 0)
                buffer[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(random() % 4);
    }
    return EditStep{name, snapshot.changes(buffer)};
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
                applyWrites(buffer, history.undo());
                ASSERT_EQ(buffer, states[--current]) << "seed " << seed;
            } else if (choice == 1 && history.canRedo()) {
                applyWrites(buffer, history.redo());
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
        while (history.canUndo())
            applyWrites(buffer, history.undo());
        EXPECT_EQ(buffer, states.front()) << "seed " << seed;
        while (history.canRedo())
            applyWrites(buffer, history.redo());
        EXPECT_EQ(buffer, states.back()) << "seed " << seed;
    }
}

TEST(EditHistory, StepsKeepOnlyTheChangedRuns)
{
    Bytes buffer(100, 7);
    EditSnapshot snapshot;
    snapshot.watch(buffer, 10, 80);
    buffer[20] = 1;
    buffer[21] = 2;
    buffer[30] = 7; // written with the byte already there
    buffer[89] = 3;
    const std::vector<ChangedSpan> expected{{20, {7, 7}, {1, 2}}, {89, {7}, {3}}};
    EXPECT_EQ(snapshot.changes(buffer), expected);
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
        history.record(EditStep{"Fill", snapshot.changes(buffer)});
        ASSERT_LE(history.heldBytes(), kEditHistoryBudget);
    }
    // Two MiB a step: 31 of them fit.
    EXPECT_EQ(history.stepCount(), 31u);
    while (history.canUndo())
        applyWrites(buffer, history.undo());
    EXPECT_EQ(buffer, Bytes(kStep, 100 - 31));

    // A step larger than the whole budget is not kept, and nothing before it either.
    EditHistory small(1000);
    small.record(EditStep{"Small", {{0, {0}, {5}}}});
    Bytes little(600);
    EditSnapshot snapshot;
    snapshot.watch(little, 0, 600);
    std::fill(little.begin(), little.end(), 1);
    small.record(EditStep{"Big", snapshot.changes(little)});
    EXPECT_FALSE(small.canUndo());
    EXPECT_EQ(small.heldBytes(), 0u);
}

TEST(EditHistory, ClearForgetsEverythingAndWritesStayInsideTheBuffer)
{
    Bytes buffer(10, 0);
    EditHistory history;
    const std::uint64_t before = history.generation();
    history.record(EditStep{"Far", {{8, {0, 0, 0, 0}, {1, 2, 3, 4}}}});
    history.clear();
    EXPECT_FALSE(history.canUndo());
    EXPECT_NE(history.generation(), before);

    // A span that runs past a buffer that has since shrunk is cut at its end.
    history.record(EditStep{"Far", {{8, {0, 0, 0, 0}, {1, 2, 3, 4}}, {20, {0}, {9}}}});
    applyWrites(buffer, history.undo());
    applyWrites(buffer, history.redo());
    EXPECT_EQ(buffer, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 1, 2}));
}

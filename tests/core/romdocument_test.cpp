// The document's modified state against a model that keeps every state of
// the bytes whole. The model's rule: the image is modified exactly when the
// history stands at another step than where it stood at the last save; once
// the saved step can no longer be reached (dropped by the budget or cut off
// by an edit after an undo) it stays modified until the next save. Bytes are
// always those of the model's current state, and "not modified" always means
// "the bytes are the saved bytes".
#include "app/romdocument.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {
using Bytes = std::vector<std::uint8_t>;

Bytes asVector(const ByteDocument& document) { return Bytes(document.begin(), document.end()); }

RomBytes romBytes(const Bytes& bytes) { return RomBytes(bytes.begin(), bytes.end()); }

struct Model {
    std::vector<Bytes> states; // states[0] is the oldest the history can reach
    std::size_t current = 0;
    static constexpr std::size_t kUnreachable = SIZE_MAX;
    std::size_t saved = 0; // the state saved last, or kUnreachable

    void record(Bytes next)
    {
        if (next == states[current])
            return; // a write that changes nothing is no step
        states.resize(current + 1);
        if (saved != kUnreachable && saved > current)
            saved = kUnreachable;
        states.push_back(std::move(next));
        ++current;
    }
    // The budget dropped steps from the front: the states before them go.
    void keepLast(std::size_t steps)
    {
        while (states.size() > steps + 1) {
            states.erase(states.begin());
            --current;
            if (saved == 0)
                saved = kUnreachable;
            else if (saved != kUnreachable)
                --saved;
        }
    }
};

TEST(RomDocument, ModifiedFollowsTheHistoryPositionThroughRandomEdits)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        // A small budget, so steps fall off the front now and then.
        RomDocument document(seed % 2 ? 400 : kEditHistoryBudget);
        Bytes start(64);
        for (std::uint8_t& b : start)
            b = static_cast<std::uint8_t>(below(4));
        document.open(romBytes(start), "game.nes");
        Model model{{start}};
        int notices = 0;
        document.setChangeListener([&] { ++notices; });

        for (int step = 0; step < 300; ++step) {
            const int before = notices;
            const bool wasModified = document.modified();
            const int action = below(10);
            bool changed = false;
            if (action < 5) {
                // Few values, so some writes change nothing.
                const int offset = below(70) - 3;
                const int length = below(10);
                const auto value = static_cast<std::uint8_t>(below(4));
                Bytes next = model.states[model.current];
                for (int i = std::max(offset, 0); i < std::min(offset + length, 64); ++i)
                    next[static_cast<std::size_t>(i)] = value;
                changed = document.edit("Fill", {{offset, length}}, [&](std::span<std::uint8_t> bytes) {
                    for (int i = std::max(offset, 0); i < std::min(offset + length, 64); ++i)
                        bytes[static_cast<std::size_t>(i)] = value;
                });
                EXPECT_EQ(changed, next != model.states[model.current]);
                model.record(std::move(next));
                model.keepLast(document.history().stepCount());
            } else if (action < 7) {
                changed = document.undo();
                EXPECT_EQ(changed, model.current > 0);
                if (changed)
                    --model.current;
            } else if (action < 9) {
                changed = document.redo();
                EXPECT_EQ(changed, model.current + 1 < model.states.size());
                if (changed)
                    ++model.current;
            } else {
                document.markSaved();
                model.saved = model.current;
                changed = true;
            }
            ASSERT_EQ(asVector(document), model.states[model.current]) << "step " << step;
            ASSERT_EQ(document.modified(), model.saved != model.current) << "step " << step;
            if (!document.modified()) {
                ASSERT_EQ(asVector(document), model.states[model.saved]);
            }
            // Whoever shows the state hears of every change, and of nothing else.
            EXPECT_EQ(notices > before, changed || wasModified != document.modified());
        }
    }
}

void setByte(ByteDocument& document, std::size_t at, std::uint8_t value)
{
    document.edit("Edit Byte", {{static_cast<std::int64_t>(at), 1}},
                  [&](std::span<std::uint8_t> bytes) { bytes[at] = value; });
}

TEST(RomDocument, ASavedPointCutOffByANewEditStaysModified)
{
    RomDocument rom;
    rom.open(romBytes(Bytes(8, 0)), "a.nes");
    setByte(rom, 0, 1);
    rom.markSaved();
    rom.undo();
    setByte(rom, 1, 1);
    rom.undo();
    EXPECT_TRUE(rom.modified());
    setByte(rom, 0, 1); // the saved bytes again, by another way: the history
    EXPECT_EQ(asVector(rom), (Bytes{1, 0, 0, 0, 0, 0, 0, 0})); // cannot know it
    EXPECT_TRUE(rom.modified());
}

TEST(RomDocument, AStrokeOfSeveralWritesIsOneStep)
{
    RomDocument document;
    document.open(romBytes(Bytes(16, 0)), "a.chr");
    document.beginStep("Paint");
    for (std::int64_t i = 0; i < 4; ++i)
        document.edit("ignored", {{i, 1}}, [&](std::span<std::uint8_t> bytes) { bytes[static_cast<std::size_t>(i)] = 7; });
    EXPECT_EQ(document.undoName(), ""); // recorded when the stroke ends
    EXPECT_TRUE(document.endStep());
    EXPECT_EQ(document.undoName(), "Paint");
    EXPECT_TRUE(document.modified());
    document.beginStep("Paint");
    document.edit("Paint", {{9, 1}}, [](std::span<std::uint8_t> bytes) { bytes[9] = 1; });
    EXPECT_TRUE(document.undo()); // ends the stroke under way, then undoes it
    EXPECT_FALSE(document.stepOpen());
    EXPECT_TRUE(document.undo());
    EXPECT_EQ(asVector(document), Bytes(16, 0));
    EXPECT_FALSE(document.modified());

    // A stroke over pixels that already had the colour: nothing to record.
    document.beginStep("Paint");
    document.edit("Paint", {{0, 1}}, [](std::span<std::uint8_t> bytes) { bytes[0] = 0; });
    EXPECT_FALSE(document.endStep());
    EXPECT_FALSE(document.modified());
    EXPECT_TRUE(document.canRedo()); // the undone stroke is still there

    // Saved in the middle of a stroke: the file holds its first pixel, so
    // undoing the stroke is a change and the rest of it a step of its own.
    document.beginStep("Paint");
    document.edit("Paint", {{5, 1}}, [](std::span<std::uint8_t> bytes) { bytes[5] = 3; });
    document.markSaved();
    EXPECT_FALSE(document.stepOpen());
    EXPECT_FALSE(document.modified());
    EXPECT_TRUE(document.undo());
    EXPECT_TRUE(document.modified());
    EXPECT_TRUE(document.redo());
    EXPECT_FALSE(document.modified());
    // A new image drops a stroke begun on the old one.
    document.beginStep("Paint");
    document.edit("Paint", {{6, 1}}, [](std::span<std::uint8_t> bytes) { bytes[6] = 3; });
    document.open(romBytes(Bytes(16, 1)), "b.chr");
    EXPECT_FALSE(document.stepOpen());
    EXPECT_FALSE(document.endStep());
    EXPECT_FALSE(document.canUndo());
    EXPECT_EQ(asVector(document), Bytes(16, 1));
}

TEST(RomDocument, ANewSizeEmptiesTheHistoryAndANewImageIsUnmodified)
{
    ByteDocument workspace;
    workspace.resize(8);
    workspace.edit("Drag Cell", {{2, 1}}, [](std::span<std::uint8_t> bytes) { bytes[2] = 5; });
    workspace.resize(8); // the same size keeps the steps
    EXPECT_TRUE(workspace.canUndo());
    workspace.resize(4);
    EXPECT_FALSE(workspace.canUndo());
    EXPECT_EQ(asVector(workspace), (Bytes{0, 0, 5, 0}));
    workspace.resize(8);
    EXPECT_FALSE(workspace.redo());
    EXPECT_EQ(asVector(workspace), (Bytes{0, 0, 5, 0, 0, 0, 0, 0}));

    RomDocument rom;
    rom.open(romBytes(Bytes(4, 1)), "a.nes");
    rom.edit("Clear", {{0, 4}}, [](std::span<std::uint8_t> bytes) { bytes[3] = 0; });
    rom.reset(romBytes(Bytes(4, 2))); // Reload
    EXPECT_FALSE(rom.modified());
    EXPECT_FALSE(rom.canUndo());
    EXPECT_EQ(rom.fileName(), "a.nes");
    rom.edit("Clear", {{0, 4}}, [](std::span<std::uint8_t> bytes) { bytes[0] = 0; });
    rom.savedAs("b.nes");
    EXPECT_FALSE(rom.modified());
    EXPECT_EQ(rom.fileName(), "b.nes");
    rom.undo();
    EXPECT_TRUE(rom.modified()); // the file holds the edit now

    // A patch: one step while the size stays, a new size for good.
    rom.markSaved();
    EXPECT_FALSE(rom.replaceAll("Patch", rom.bytes()));
    EXPECT_TRUE(rom.replaceAll("Patch", romBytes(Bytes{9, 9, 9, 9})));
    EXPECT_TRUE(rom.undo());
    EXPECT_FALSE(rom.modified());
    EXPECT_TRUE(rom.replaceAll("Patch", romBytes(Bytes{9, 9})));
    EXPECT_FALSE(rom.canUndo());
    EXPECT_TRUE(rom.modified());
    EXPECT_EQ(asVector(rom), (Bytes{9, 9}));
}
} // namespace

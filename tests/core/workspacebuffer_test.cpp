#include "workspace/workspacebuffer.h"

#include "support/testdata.h"

#include <gtest/gtest.h>

namespace {

TEST(DataMapFile, RoundTripsEveryGridAndRefusesOtherSizes)
{
    for (const auto& [width, height] : {std::pair{32, 32}, {1, 1}, {256, 256}, {16, 64}, {3, 200}}) {
        const Bytes cells = randomBytes(static_cast<std::size_t>(width * height), static_cast<unsigned>(width));
        const Bytes file = dataMapFileBytes(width, height, cells);
        ASSERT_EQ(file.size(), cells.size() + 2);
        EXPECT_EQ(file[0], width - 1);
        EXPECT_EQ(file[1], height - 1);
        const std::optional<DataMapFile> read = readDataMapFile(file);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->width, width);
        EXPECT_EQ(read->height, height);
        EXPECT_EQ(read->cells, cells);
        Bytes longer = file;
        longer.push_back(0);
        EXPECT_FALSE(readDataMapFile(longer));
        EXPECT_FALSE(readDataMapFile(std::span<const std::uint8_t>(file).first(file.size() - 1)));
    }
    EXPECT_FALSE(readDataMapFile(Bytes{}));
    EXPECT_FALSE(readDataMapFile(Bytes{0}));
    EXPECT_TRUE(readDataMapFile(Bytes{0, 0, 7}));
}

TEST(DropWorkspaceCell, MoveCopyAndExchange)
{
    struct Case {
        DragKeys keys;
        std::uint8_t source, target;
    };
    // Cell 5 holds 0x55, cell 9 holds 0x99; cell 5 is dropped on cell 9.
    const std::vector<Case> cases{
        {{false, false}, 0x00, 0x55}, {{true, false}, 0x55, 0x55},
        {{false, true}, 0x99, 0x55},  {{true, true}, 0x00, 0x55}};
    for (const Case& c : cases) {
        Bytes buffer(16, 0x11);
        buffer[5] = 0x55;
        buffer[9] = 0x99;
        EXPECT_TRUE(dropWorkspaceCell(buffer, 5, 9, c.keys));
        EXPECT_EQ(buffer[5], c.source) << c.keys.shift << c.keys.ctrl;
        EXPECT_EQ(buffer[9], c.target) << c.keys.shift << c.keys.ctrl;
        const Bytes before = buffer;
        EXPECT_FALSE(dropWorkspaceCell(buffer, 9, 9, c.keys));
        EXPECT_FALSE(dropWorkspaceCell(buffer, 9, 16, c.keys));
        EXPECT_EQ(buffer, before);
    }
}

} // namespace

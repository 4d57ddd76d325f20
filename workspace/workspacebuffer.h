#pragma once
// The workspace buffer's pure rules: the data map file (.kvr) that keeps it,
// and what dropping a dragged cell does to it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// A .kvr file: width - 1, height - 1, then width * height cell bytes.
struct DataMapFile {
    int width = 0;  // 1..256
    int height = 0; // 1..256
    std::vector<std::uint8_t> cells;
};

// The file's bytes for a grid and its buffer (exactly width * height bytes).
[[nodiscard]] std::vector<std::uint8_t> dataMapFileBytes(int width, int height, std::span<const std::uint8_t> cells);

// Nothing unless the file is exactly (byte 0 + 1) * (byte 1 + 1) + 2 bytes.
[[nodiscard]] std::optional<DataMapFile> readDataMapFile(std::span<const std::uint8_t> bytes);

// The keys held while a cell is dragged onto another: Shift copies, Ctrl
// exchanges, neither (or both) moves and leaves 0 behind.
struct DragKeys {
    bool shift = false;
    bool ctrl = false;
};

// Drops the byte of `source` onto `target`. Nothing happens when they are the
// same cell or either lies outside the buffer; returns whether it changed.
bool dropWorkspaceCell(std::span<std::uint8_t> buffer, std::size_t source, std::size_t target, DragKeys keys);

#include "workspace/workspacebuffer.h"

#include <algorithm>

std::vector<std::uint8_t> dataMapFileBytes(int width, int height, std::span<const std::uint8_t> cells)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(cells.size() + 2);
    bytes.push_back(static_cast<std::uint8_t>(width - 1));
    bytes.push_back(static_cast<std::uint8_t>(height - 1));
    bytes.insert(bytes.end(), cells.begin(), cells.end());
    return bytes;
}

std::optional<DataMapFile> readDataMapFile(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 2)
        return std::nullopt;
    DataMapFile file;
    file.width = bytes[0] + 1;
    file.height = bytes[1] + 1;
    const std::size_t cellCount = static_cast<std::size_t>(file.width) * static_cast<std::size_t>(file.height);
    if (bytes.size() != cellCount + 2)
        return std::nullopt;
    file.cells.assign(bytes.begin() + 2, bytes.end());
    return file;
}

bool dropWorkspaceCell(std::span<std::uint8_t> buffer, std::size_t source, std::size_t target, DragKeys keys)
{
    if (source == target || source >= buffer.size() || target >= buffer.size())
        return false;
    const std::uint8_t dragged = buffer[source];
    if (keys.ctrl && !keys.shift)
        buffer[source] = buffer[target]; // exchange
    else if (keys.shift == keys.ctrl)
        buffer[source] = 0;              // move
    // Shift alone copies: the source keeps its byte.
    buffer[target] = dragged;
    return true;
}

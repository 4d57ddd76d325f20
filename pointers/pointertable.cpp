#include "pointers/pointertable.h"

#include "app/numbers.h"

#include <array>
#include <limits>

namespace {

constexpr std::int64_t kNoEnd = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kLargestValue = 0xFFFFFFFFLL;

// Bytes of the image per bank of a banked map; 0 for the linear map.
std::int64_t bankBytes(PointerMap map)
{
    switch (map) {
    case PointerMap::LoRom: return 0x8000;
    case PointerMap::HiRom: return 0x10000;
    case PointerMap::GameBoy: return 0x4000;
    case PointerMap::Linear: break;
    }
    return 0;
}

int storedBits(const PointerTable& table) { return table.size * 8; }

} // namespace

std::optional<PointerMap> parsePointerMap(std::string_view name)
{
    static constexpr std::array<PointerMap, 4> maps{PointerMap::Linear, PointerMap::LoRom, PointerMap::HiRom,
                                                    PointerMap::GameBoy};
    for (PointerMap map : maps)
        if (pointerMapName(map) == name)
            return map;
    return std::nullopt;
}

std::string_view pointerMapName(PointerMap map)
{
    switch (map) {
    case PointerMap::LoRom: return "lorom";
    case PointerMap::HiRom: return "hirom";
    case PointerMap::GameBoy: return "gb";
    case PointerMap::Linear: break;
    }
    return "linear";
}

std::string pointerTableProblem(const PointerTable& table, std::size_t imageSize)
{
    if (table.size < 2 || table.size > 4)
        return "the entry size must be 2, 3 or 4, not " + std::to_string(table.size);
    if (table.count < 1)
        return "the table needs at least 1 entry";
    if (table.position < 0)
        return "the table position cannot be negative";
    if (table.stride != 0 && table.stride < table.size)
        return "the stride must be at least the entry size (" + std::to_string(table.size) + ")";
    if (table.header < 0)
        return "the header size cannot be negative";
    if (table.bank && (*table.bank < 0 || *table.bank > 0xFFFF))
        return "the bank must be 0 .. hFFFF";
    const std::int64_t end = table.position + (table.count - 1) * table.step() + table.size;
    if (end > static_cast<std::int64_t>(imageSize))
        return "the table (" + std::to_string(table.count) + " entries from h" +
               hexText(static_cast<std::uint32_t>(table.position), 8) + ") runs past the end of the image (h" +
               hexText(static_cast<std::uint32_t>(imageSize), 8) + " bytes)";
    return {};
}

std::optional<std::uint32_t> offsetToValue(const PointerTable& table, std::int64_t offset)
{
    const std::int64_t o = offset - table.header;
    if (o < 0)
        return std::nullopt;
    std::int64_t value = 0;
    switch (table.map) {
    case PointerMap::Linear: value = o + table.base; break;
    case PointerMap::LoRom: value = (o / 0x8000) * 0x10000 + 0x8000 + o % 0x8000; break;
    case PointerMap::HiRom: value = o + 0xC00000; break;
    case PointerMap::GameBoy: value = o < 0x4000 ? o : ((o / 0x4000) << 16) + 0x4000 + o % 0x4000; break;
    }
    if (value < 0 || value > kLargestValue)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

std::optional<std::size_t> valueToOffset(const PointerTable& table, std::uint32_t value, std::size_t imageSize)
{
    const std::int64_t v = value;
    const std::int64_t low = v & 0xFFFF;
    const std::int64_t bank = v >> 16;
    std::int64_t o = -1;
    switch (table.map) {
    case PointerMap::Linear: o = v - table.base; break;
    case PointerMap::LoRom: o = low < 0x8000 ? -1 : bank * 0x8000 + low - 0x8000; break;
    case PointerMap::HiRom: o = v >= 0xC00000 ? v - 0xC00000 : -1; break;
    case PointerMap::GameBoy:
        // The fixed bank answers in every bank; bank 0 in the switched window
        // reads as bank 1, as the common cartridges do.
        if (low < 0x4000)
            o = low;
        else if (low < 0x8000)
            o = (bank == 0 ? 1 : bank) * 0x4000 + low - 0x4000;
        break;
    }
    if (o < 0)
        return std::nullopt;
    const std::int64_t offset = o + table.header;
    if (offset >= static_cast<std::int64_t>(imageSize))
        return std::nullopt;
    return static_cast<std::size_t>(offset);
}

std::uint32_t tableBank(const PointerTable& table)
{
    if (storedBits(table) >= 32)
        return 0;
    if (table.bank)
        return static_cast<std::uint32_t>(*table.bank);
    return offsetToValue(table, table.position).value_or(0) >> storedBits(table);
}

std::uint32_t storedToValue(const PointerTable& table, std::uint32_t stored)
{
    if (storedBits(table) >= 32)
        return stored;
    return stored | (tableBank(table) << storedBits(table));
}

std::uint32_t valueToStored(const PointerTable& table, std::uint32_t value)
{
    if (storedBits(table) >= 32)
        return value;
    return value & ((1U << storedBits(table)) - 1);
}

std::uint32_t readEntryBytes(std::span<const std::uint8_t> image, std::size_t at, int size, bool bigEndian)
{
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) {
        const std::uint32_t byte = image[at + static_cast<std::size_t>(i)];
        value |= byte << (8 * (bigEndian ? size - 1 - i : i));
    }
    return value;
}

void writeEntryBytes(std::span<std::uint8_t> image, std::size_t at, int size, bool bigEndian, std::uint32_t stored)
{
    for (int i = 0; i < size; ++i)
        image[at + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(stored >> (8 * (bigEndian ? size - 1 - i : i)));
}

std::vector<PointerEntry> readPointerTable(const PointerTable& table, std::span<const std::uint8_t> image)
{
    std::vector<PointerEntry> entries;
    if (!pointerTableProblem(table, image.size()).empty())
        return entries;
    entries.reserve(static_cast<std::size_t>(table.count));
    for (std::int64_t i = 0; i < table.count; ++i) {
        PointerEntry entry;
        entry.index = static_cast<std::size_t>(i);
        entry.position = static_cast<std::size_t>(table.position + i * table.step());
        entry.stored = readEntryBytes(image, entry.position, table.size, table.bigEndian);
        entry.target = valueToOffset(table, storedToValue(table, entry.stored), image.size());
        entries.push_back(entry);
    }
    return entries;
}

std::int64_t segmentEnd(const PointerTable& table, std::int64_t offset)
{
    if (offset < table.header)
        return table.header;
    const std::int64_t o = offset - table.header;
    if (const std::int64_t bank = bankBytes(table.map))
        return table.header + (o / bank + 1) * bank;
    const std::int64_t value = o + table.base;
    if (value < 0)
        return table.header - table.base;
    if (storedBits(table) >= 32)
        return kNoEnd;
    const std::int64_t window = std::int64_t{1} << storedBits(table);
    return offset + (window - value % window);
}

bool stringPlaceable(const PointerTable& table, std::size_t offset, std::size_t length, std::size_t imageSize)
{
    const auto start = static_cast<std::int64_t>(offset);
    const auto end = start + static_cast<std::int64_t>(length);
    if (length == 0 || end > static_cast<std::int64_t>(imageSize) || end > segmentEnd(table, start))
        return false;
    const std::optional<std::uint32_t> value = offsetToValue(table, start);
    if (!value)
        return false;
    return valueToOffset(table, storedToValue(table, valueToStored(table, *value)), imageSize) == offset;
}

std::vector<std::size_t> findPointers(const PointerTable& table, std::span<const std::uint8_t> image,
                                      std::int64_t target)
{
    std::vector<std::size_t> hits;
    const std::optional<std::uint32_t> value = offsetToValue(table, target);
    const auto size = static_cast<std::size_t>(table.size);
    if (!value || image.size() < size)
        return hits;
    const std::uint32_t stored = valueToStored(table, *value);
    for (std::size_t at = 0; at + size <= image.size(); ++at)
        if (readEntryBytes(image, at, table.size, table.bigEndian) == stored)
            hits.push_back(at);
    return hits;
}

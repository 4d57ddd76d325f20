#pragma once
// Pointer tables: where a game keeps the addresses of its strings, and how
// the values it stores map to offsets of the ROM image.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// How the game's addresses relate to file offsets.
enum class PointerMap { Linear, LoRom, HiRom, GameBoy };

[[nodiscard]] std::optional<PointerMap> parsePointerMap(std::string_view name);
[[nodiscard]] std::string_view pointerMapName(PointerMap map);

struct PointerTable {
    std::int64_t position = 0; // of the first entry
    std::int64_t count = 1;
    int size = 2;              // bytes per entry: 2, 3 or 4
    std::int64_t stride = 0;   // bytes from one entry to the next; 0: the size
    bool bigEndian = false;
    PointerMap map = PointerMap::Linear;
    std::int64_t base = 0;     // linear: value = offset + base
    std::int64_t header = 0;   // bytes before the mapped image (a copier header)
    std::optional<std::int64_t> bank; // the bits an entry does not store

    std::int64_t step() const { return stride > 0 ? stride : size; }
    bool operator==(const PointerTable&) const = default;
};

// Why the table cannot be used on an image of `imageSize` bytes; empty when it can.
[[nodiscard]] std::string pointerTableProblem(const PointerTable& table, std::size_t imageSize);

// The value the game uses for a file offset; nothing when the offset has none
// (inside the header, or a value outside 32 bits).
[[nodiscard]] std::optional<std::uint32_t> offsetToValue(const PointerTable& table, std::int64_t offset);
// The file offset of a value; nothing when it maps to no offset inside the image.
[[nodiscard]] std::optional<std::size_t> valueToOffset(const PointerTable& table, std::uint32_t value,
                                                       std::size_t imageSize);

// The bits above an entry's own bytes: --bank, else those of the value of the
// table's own position.
[[nodiscard]] std::uint32_t tableBank(const PointerTable& table);
// What an entry's stored bytes stand for, the missing bank added.
[[nodiscard]] std::uint32_t storedToValue(const PointerTable& table, std::uint32_t stored);
// The part of a value an entry keeps.
[[nodiscard]] std::uint32_t valueToStored(const PointerTable& table, std::uint32_t value);

// `size` bytes at `at` in the table's byte order; the caller checks the bounds.
[[nodiscard]] std::uint32_t readEntryBytes(std::span<const std::uint8_t> image, std::size_t at, int size,
                                           bool bigEndian);
void writeEntryBytes(std::span<std::uint8_t> image, std::size_t at, int size, bool bigEndian, std::uint32_t stored);

struct PointerEntry {
    std::size_t index = 0;
    std::size_t position = 0;
    std::uint32_t stored = 0;
    std::optional<std::size_t> target; // nothing: maps outside the image
};

// Every entry of a table that pointerTableProblem accepts.
[[nodiscard]] std::vector<PointerEntry> readPointerTable(const PointerTable& table,
                                                         std::span<const std::uint8_t> image);

// Where a string starting at `offset` and `length` bytes long is read back
// the same by the game: its first byte round-trips through an entry, and all
// its bytes lie in one bank (banked maps) or in one window of what the entry
// stores (entries that keep only the low bytes).
[[nodiscard]] bool stringPlaceable(const PointerTable& table, std::size_t offset, std::size_t length,
                                   std::size_t imageSize);
// The first offset after `offset` where a string may no longer continue.
[[nodiscard]] std::int64_t segmentEnd(const PointerTable& table, std::int64_t offset);

// Positions of every `size`-byte value in the image that equals what an entry
// pointing at `target` stores. Nothing when the target has no value.
[[nodiscard]] std::vector<std::size_t> findPointers(const PointerTable& table, std::span<const std::uint8_t> image,
                                                    std::int64_t target);

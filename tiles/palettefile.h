#pragma once
// Palette files: text lines "R G B" (.pal) or binary R, G, B triplets (.act).
// Works on bytes only; the windows and quarn-tool read and write the files.
#include "tiles/palette.h"

#include "app/numbers.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class PaletteFileForm { Text, Binary };

// Binary when ".ACT" occurs anywhere in the upper-cased name, so that
// "palette.act.txt" is binary too.
PaletteFileForm paletteFileFormFor(std::string_view fileName);

// Entries a palette file holds for a palette mode: 4, 16 or 256.
int paletteEntryCount(PaletteMode mode);

struct PaletteReadResult {
    // The entries read before the first failure, in file order. They are
    // valid even when `error` is set: the caller applies them one by one.
    std::vector<Colour> colours;
    std::string error; // empty when all requested entries were read

    bool ok() const { return error.empty(); }
};

// Reads `count` lines "R G B"; each field is a decimal integer of which only
// the low byte counts (300 gives 44, -1 gives 255). Lines after them are ignored.
// Error: "'<text>' is not a valid integer value".
[[nodiscard]] PaletteReadResult readPaletteText(std::span<const std::uint8_t> bytes, int count);

// Reads `count` R, G, B triplets from byte 0; the rest of the file (a 768-byte
// table, say) is ignored. A short file yields its whole triplets and
// "Read beyond end of file".
[[nodiscard]] PaletteReadResult readPaletteBinary(std::span<const std::uint8_t> bytes, int count);

[[nodiscard]] PaletteReadResult readPaletteFile(std::span<const std::uint8_t> bytes, PaletteFileForm form,
                                                int count);

// One "R G B" line per entry, each ended by CR LF.
std::vector<std::uint8_t> writePaletteText(std::span<const Colour> colours);
// The triplets from byte 0, zeros after them up to 256 bytes: a file of 4
// or 16 entries is 256 bytes long, one of 256 entries the full 768 bytes.
std::vector<std::uint8_t> writePaletteBinary(std::span<const Colour> colours);
std::vector<std::uint8_t> writePaletteFile(std::span<const Colour> colours, PaletteFileForm form);

// Colour of the "FG"/"BG" labels on a box of colour `box`: the complement of
// each channel, except on mid grey, whose complement would be unreadable.
Colour labelColour(Colour box);

#pragma once
// Tile tables: which byte sequence stands for which tile-map block number.
// Reading and writing the table file, the bytes an entry writes, and the
// lookup the data map runs at every cell of every redraw.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Hexadecimal text per block number, two digits per byte, kept exactly as the
// file gave it (so it may be lower-case, or not hexadecimal at all).
using TileTableEntries = std::array<std::string, 256>;

// Open reads a table the user picks; Reload reads it again after a change,
// with its own, older reading of the address and the lines.
enum class TileTableRules { Open, Reload };

struct TileTableFile {
    std::int32_t address = 0; // tile map position of line 1
    TileTableEntries entries; // "00" where no line says otherwise
};

struct TileTableReadResult {
    std::optional<TileTableFile> table;
    std::string error;               // set when table is empty (8-bit text; may quote the first line)
    bool incompatibleFormat = false; // Reload: a bad hexadecimal or negative address
};

// The text `error` holds when `incompatibleFormat` is set; the window shows
// its own language's text instead.
inline constexpr std::string_view kIncompatibleTileTableMessage = "Incompatible File Format!";

// Parses a whole tile table file. CR LF, lone LF and lone CR all end a line.
// Only the address line can make the read fail.
[[nodiscard]] TileTableReadResult readTileTableFile(std::string_view bytes, TileTableRules rules);

// The table in memory written back as a file: "H" and the position in at
// least 6 upper-case hexadecimal digits, then the 256 lines "XX=" + entry,
// each ended by CR LF.
[[nodiscard]] std::string tileTableWriteBackText(std::int32_t tileMapPosition, const TileTableEntries& entries);

// The bytes an entry writes: one per pair of characters (a pair that is not
// hexadecimal gives 0); an odd last character writes nothing.
[[nodiscard]] std::vector<std::uint8_t> tileSequenceBytes(std::string_view entry);

// What a cell shows: the matched block number and the bytes it covers, or the byte itself.
struct TileCode {
    std::uint8_t code = 0;
    std::size_t length = 1; // bytes covered
    bool matched = false;
};

// The block whose sequence stands at an offset, indexed once per table so a
// redraw compares bytes, not hexadecimal texts.
//
// The result is the plain scan's: the longest sequence that lies wholly in
// the bytes wins, the highest block number among equally long ones, and no
// sequence shorter than the entry of block 00 is taken (that entry sets the
// bar even when it cannot match). Only non-empty entries of upper-case
// hexadecimal digit pairs can match.
class TileSequenceMatcher {
public:
    TileSequenceMatcher() = default; // no table: nothing matches
    explicit TileSequenceMatcher(const TileTableEntries& entries);
    // offset must lie inside `bytes`. Unmatched, the cell shows the byte
    // there (length 1); an offset outside shows block 00 unmatched.
    [[nodiscard]] TileCode codeAt(std::span<const std::uint8_t> bytes, std::size_t offset) const;

private:
    struct Candidate {
        std::uint32_t start = 0;  // first byte in pool_
        std::uint32_t length = 0; // in bytes, at least 1
        std::uint8_t code = 0;
    };
    std::vector<std::uint8_t> pool_; // every matchable sequence's bytes, one after another
    // Grouped by first byte, longest first, then highest block number first;
    // the group of byte b is [firstOf_[b], firstOf_[b + 1]).
    std::vector<Candidate> candidates_;
    std::array<std::uint32_t, 257> firstOf_{};
};

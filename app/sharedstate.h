#pragma once
// The state every window reads and changes. One object, owned by the main
// window and handed to the others by reference.
#include "app/openblock.h"
#include "app/romdocument.h"
#include "tiles/bitmap.h"
#include "tiles/codecs.h"
#include "tiles/decodedtilemap.h"
#include "tiles/palette.h"
#include "text/stringcodec.h"
#include "text/tiletable.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

inline constexpr const char* kApplicationTitle = "Quarn Tile Mapper v1.5.0.0";

struct SharedState {
    SharedState() { workspace.resize(32 * 32); }

    // ROM image: its bytes, file name, history and saved point. Windows read
    // it like a byte buffer and change it only through `rom.edit`.
    RomDocument rom;
    bool romLoaded = false;
    // While a compressed block is open, `rom` holds its decompressed bytes
    // and the ROM image waits in here.
    std::unique_ptr<OpenBlock> openBlock;
    bool clickGuard = false;

    // Tile graphics
    Codec codec = Codec::Nes;
    TileGeometry geometry; // tile 8 x 8, blocks 1 x 1
    std::int32_t tileMapPosition = 0;
    std::int32_t selectedTile = 0;
    std::int32_t markedBlock = 0;
    std::int32_t editPixelX = 0;
    std::int32_t editPixelY = 0;
    // The tile map picture every window reads. It only caches what the fields
    // above decode to, so windows that merely read the state may fill it.
    mutable DecodedTileMap tileMap;
    Bitmap tileBitmap{8, 8};
    Palettes palettes = defaultPalettes();
    std::uint8_t foregroundSlot = 4;
    std::uint8_t backgroundSlot = 1;

    // Text and data
    std::int32_t dataPosition = 0;
    std::int32_t selectedCell = 0;
    std::int32_t dataMapWidth = 32;
    std::int32_t dataMapHeight = 32;
    std::int32_t cellGroupWidth = 1;
    std::int32_t cellGroupHeight = 1;
    std::int32_t maxStringLength = 1;
    ByteCode lineBreakCode = 0xFF;
    ByteCode endCode = 0x00;
    std::string endText = "{END}";          // what the end code shows ("/XX=text")
    bool tableLoaded = false;
    std::array<std::string, 256> charTable; // character table entries, UTF-8
    std::vector<SequenceEntry> charSequences; // entries of codes of 2 to 4 bytes
    bool tableUtf8 = false;                 // the table file was UTF-8: so are its dumps
    std::string tableFileName;              // UTF-8 path of the last table opened
    CharacterSet tableCharSet;              // characters the string field accepts
    std::uint8_t longestEntryLength = 0;
    EntryMatcher tableMatcher;              // match entry over the finished table
    std::int32_t scriptStart = 0;
    std::int32_t scriptEnd = 0;
    bool tileTableLoaded = false;
    TileTableEntries tileTable;      // hexadecimal byte sequences by block number
    std::string tileTableFileName;   // UTF-8 path of the last tile table opened
    TileSequenceMatcher tileMatcher; // over tileTable, rebuilt at every load
    ByteDocument workspace; // data map width x height bytes, its own history
    std::int32_t workspaceCursor = 0;

    // The code a cell shows at `offset` (inside `bytes`): the block a tile
    // table sequence names, or the byte itself.
    TileCode cellCode(std::span<const std::uint8_t> bytes, std::size_t offset) const
    {
        if (tileTableLoaded)
            return tileMatcher.codeAt(bytes, offset);
        return TileCode{bytes[offset], 1, false};
    }
    // The tile table in use, if any.
    const TileSequenceMatcher* tileTableInUse() const { return tileTableLoaded ? &tileMatcher : nullptr; }

    // What the tile map picture is decoded from.
    TileMapSource tileMapSource() const { return {rom, tileMapPosition, codec, geometry, palettes}; }

    // The ROM image itself, whether or not a block is open.
    const RomDocument& romImage() const { return openBlock ? openBlock->image() : rom; }
    // Something differs from the file: the image, or an open block not written back.
    bool unsavedChanges() const { return rom.modified() || (openBlock && openBlock->image().modified()); }

    std::int32_t romSize() const { return static_cast<std::int32_t>(rom.size()); }
    std::int32_t selectedPosition() const { return dataPosition + selectedCell; }
};

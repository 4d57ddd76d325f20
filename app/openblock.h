#pragma once
// A compressed block of the ROM image opened in the windows. While it is
// open the document the windows show (SharedState::rom) holds the block's
// decompressed bytes, with a history and a saved point of its own, and the
// ROM image waits here untouched. Writing back is the block document's save:
// the bytes are recompressed into the ROM image through its `edit`, as one
// step of the ROM image's history.
#include "app/romdocument.h"
#include "compression/compress.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Where the windows stood in the image when the block was opened.
struct ImagePlace {
    std::int32_t tileMapPosition = 0;
    std::int32_t dataPosition = 0;
    std::int32_t selectedCell = 0;
    std::int32_t selectedTile = 0;
    std::int32_t markedBlock = 0;
};

class OpenBlock {
public:
    struct Opened {
        std::unique_ptr<OpenBlock> block; // none when refused
        std::string error;
    };
    // Decompresses the block whose header is at `offset` of `rom` (its format
    // from the type byte). On success `rom` holds the block's bytes under the
    // same file name and the ROM image is kept in the returned block; a
    // refusal (no valid block there, or one without bytes) changes nothing.
    [[nodiscard]] static Opened open(RomDocument& rom, std::size_t offset, const ImagePlace& place);

    // Recompresses `block` (the document holding the block's bytes) into the
    // ROM image at the block's place as one step named "WriteBack". When it
    // fits, `block` counts as saved; otherwise nothing changes and `error`
    // names both sizes. An unchanged block writes nothing.
    WriteBackResult writeBack(RomDocument& block);

    // Puts the ROM image back into `rom`; the block's bytes and history are
    // dropped with this object.
    void close(RomDocument& rom);

    [[nodiscard]] RomDocument& image() { return image_; }
    [[nodiscard]] const RomDocument& image() const { return image_; }
    [[nodiscard]] std::size_t offset() const { return offset_; }
    [[nodiscard]] CompressionFormat format() const { return format_; }
    // The compressed bytes the block may take in the image: its stream when it
    // was opened, since a shorter write back leaves zeros up to there.
    [[nodiscard]] std::size_t room() const { return room_; }
    [[nodiscard]] const ImagePlace& place() const { return place_; }

private:
    OpenBlock(std::size_t offset, CompressionFormat format, std::size_t room, const ImagePlace& place)
        : offset_(offset), format_(format), room_(room), place_(place)
    {
    }

    RomDocument image_;
    std::size_t offset_;
    CompressionFormat format_;
    std::size_t room_;
    ImagePlace place_;
};

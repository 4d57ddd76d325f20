#include "app/openblock.h"

#include "compression/decompress.h"

#include <algorithm>

OpenBlock::Opened OpenBlock::open(RomDocument& rom, std::size_t offset, const ImagePlace& place)
{
    Opened opened;
    DecompressResult block = decompressBlock(rom, offset);
    if (!block.ok()) {
        opened.error = block.error;
        return opened;
    }
    if (block.bytes.empty()) {
        opened.error = "the block decompresses to no bytes";
        return opened;
    }
    opened.block.reset(new OpenBlock(offset, block.info.format, block.info.compressedSize, place));
    // The block's document is made in the holder, then the two trade places:
    // the windows keep the document object they listen to.
    RomDocument& holder = opened.block->image_;
    holder.open(RomBytes(block.bytes.begin(), block.bytes.end()), rom.fileName());
    rom.swap(holder);
    return opened;
}

WriteBackResult OpenBlock::writeBack(RomDocument& block)
{
    block.endStep();
    if (!block.modified())
        return {};
    WriteBackResult result = prepareWriteBack(image_, offset_, block.bytes(), format_, {}, room_);
    if (!result.ok())
        return result;
    const auto at = static_cast<std::int64_t>(offset_);
    image_.edit("WriteBack", {{at, static_cast<std::int64_t>(result.replacement.size())}},
                [&](std::span<std::uint8_t> bytes) {
                    std::copy(result.replacement.begin(), result.replacement.end(), bytes.begin() + at);
                });
    block.markSaved();
    return result;
}

void OpenBlock::close(RomDocument& rom)
{
    rom.endStep();
    rom.swap(image_);
}

// Any bytes as an image with a block at any offset, read as its type byte
// says or in a given format: every decoder refuses
// with a message or gives exactly the announced size; counting agrees with
// decoding, the scan's stricter reading only ever refuses more, and what
// decodes encodes back in its own format to the same bytes.
#include "fuzzinput.h"

#include "compression/compress.h"
#include "compression/decompress.h"
#include "compression/scan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::uint16_t where = input.take<std::uint16_t>();
    const std::size_t offset = where % 64;
    const int forced = (where >> 8) % (kCompressionFormatCount + 1); // the last: as the type byte says
    const std::span<const std::uint8_t> image = input.rest();

    const DecompressResult result = decompressBlock(image, offset);
    const std::optional<BlockInfo> counted = measureBlock(image, offset);
    const std::optional<BlockInfo> strict = measureBlock(image, offset, Strictness::Encoder);
    FUZZ_CHECK(result.ok() == counted.has_value());
    FUZZ_CHECK(!strict || (counted && *strict == *counted));
    if (!result.ok()) {
        FUZZ_CHECK(!result.error.empty() && result.bytes.empty());
    } else {
        const HeaderRead header = readBlockHeader(image, offset);
        FUZZ_CHECK(header.header && result.bytes.size() == header.header->decompressedSize);
        FUZZ_CHECK(result.info == *counted);
        FUZZ_CHECK(result.info.compressedSize <= image.size() - offset);
        if (result.bytes.size() <= (1u << 16)) {
            const CompressResult again = compressBlock(result.bytes, result.info.format);
            FUZZ_CHECK(again.ok());
            FUZZ_CHECK(decompressBlock(again.bytes, 0).bytes == result.bytes);
        }
    }

    if (forced < kCompressionFormatCount) {
        const auto format = static_cast<CompressionFormat>(forced);
        const DecompressResult as = decompressBlock(image, offset, format);
        const HeaderRead header = readBlockHeader(image, offset, format);
        FUZZ_CHECK(as.ok() == as.error.empty());
        FUZZ_CHECK(!as.ok() || (header.header && as.bytes.size() == header.header->decompressedSize &&
                                as.info.format == format));
    }

    for (const FoundBlock& found : scanCompressedBlocks(image, {0x1F, 1})) {
        FUZZ_CHECK(found.offset % 4 == 0 && found.info.decompressedSize >= 1);
        FUZZ_CHECK(measureBlock(image, found.offset) == found.info);
    }
    return 0;
}

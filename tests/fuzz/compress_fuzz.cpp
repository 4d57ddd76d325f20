// Any bytes through every encoder: the block decodes to the same bytes, is
// padded to 4, passes the scan's reading of what an encoder writes, and the
// VRAM-safe LZ77 output never copies from one byte back.
#include "fuzzinput.h"

#include "compression/compress.h"
#include "compression/decompress.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const auto format = static_cast<CompressionFormat>(input.inRange(0, kCompressionFormatCount - 1));
    const bool vramSafe = input.flag();
    const std::span<const std::uint8_t> bytes = input.rest();

    const CompressResult block = compressBlock(bytes, format, {vramSafe});
    FUZZ_CHECK(block.ok() && block.bytes.size() % 4 == 0);
    const DecompressResult decoded = decompressBlock(block.bytes, 0);
    FUZZ_CHECK(decoded.ok() && decoded.info.format == format);
    FUZZ_CHECK(std::equal(decoded.bytes.begin(), decoded.bytes.end(), bytes.begin(), bytes.end()));
    FUZZ_CHECK(measureBlock(block.bytes, 0, Strictness::Encoder) == decoded.info);
    const bool lz = format == CompressionFormat::Lz10 || format == CompressionFormat::Lz11;
    FUZZ_CHECK(!decoded.info.copiesFromOneBack || (lz && !vramSafe));
    return 0;
}

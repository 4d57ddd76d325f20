#include "compression/decompress.h"

#include "compression/decoding.h"

namespace {

using namespace decoding;

template <class Sink>
Decoded decodeLz(Stream s, Sink& sink, bool lz11)
{
    std::size_t out = 0;
    bool oneBack = false;
    const std::uint8_t* src = s.src;
    while (out < s.size) {
        if (s.in >= s.end)
            return {Fault::RunsOut, s.in, out};
        unsigned flags = src[s.in++];
        for (int item = 0; item < 8 && out < s.size; ++item, flags <<= 1) {
            if ((flags & 0x80) == 0) {
                if (s.in >= s.end)
                    return {Fault::RunsOut, s.in, out};
                sink.literal(out++, src[s.in++]);
                continue;
            }
            const std::size_t left = s.end - s.in;
            if (left < 2)
                return {Fault::RunsOut, s.in, out};
            const unsigned b0 = src[s.in];
            const unsigned form = lz11 ? b0 >> 4 : 2;
            const std::size_t tokenBytes = form == 0 ? 3 : form == 1 ? 4 : 2;
            if (left < tokenBytes)
                return {Fault::RunsOut, s.in, out};
            const std::uint8_t* t = src + s.in;
            std::size_t length = 0;
            std::size_t distance = 0;
            if (form == 0) {
                length = ((b0 & 15) << 4 | t[1] >> 4) + 0x11;
                distance = ((t[1] & 15u) << 8 | t[2]) + 1;
            } else if (form == 1) {
                length = ((b0 & 15) << 12 | t[1] << 4 | t[2] >> 4) + 0x111;
                distance = ((t[2] & 15u) << 8 | t[3]) + 1;
            } else {
                length = (b0 >> 4) + (lz11 ? 1 : 3);
                distance = ((b0 & 15) << 8 | t[1]) + 1;
            }
            if (distance > out)
                return {Fault::CopyBeforeStart, s.in, out};
            if (length > s.size - out)
                return {Fault::PastSize, s.in, out};
            s.in += tokenBytes;
            oneBack |= distance == 1;
            sink.copy(out, distance, length);
            out += length;
        }
    }
    return {Fault::None, s.in, out, oneBack};
}

template <class Sink>
Decoded decodeRle(Stream s, Sink& sink, Strictness strictness)
{
    std::size_t out = 0;
    while (out < s.size) {
        if (s.in >= s.end)
            return {Fault::RunsOut, s.in, out};
        const std::size_t item = s.in;
        const unsigned flag = s.src[s.in++];
        const bool run = (flag & 0x80) != 0;
        const std::size_t length = (flag & 0x7F) + (run ? 3 : 1);
        if (s.end - s.in < (run ? 1 : length))
            return {Fault::RunsOut, item, out};
        if (length > s.size - out)
            return {Fault::PastSize, item, out};
        if (run) {
            sink.fill(out, s.src[s.in++], length);
        } else {
            // An encoder only ends a literal item early when a run follows.
            const std::size_t next = s.in + length;
            if (strictness == Strictness::Encoder && length < 128 && out + length < s.size && next < s.end &&
                (s.src[next] & 0x80) == 0)
                return {Fault::NotAsEncoded, next, out + length};
            sink.literals(out, s.src + s.in, length);
            s.in = next;
        }
        out += length;
    }
    return {Fault::None, s.in, out};
}


template <class Sink>
Decoded decodeStream(std::span<const std::uint8_t> image, std::size_t offset, const BlockHeader& header,
                     Sink& sink, Strictness strictness)
{
    const Stream s{image.data(), offset + header.headerBytes, image.size(),
                   static_cast<std::size_t>(header.decompressedSize)};
    switch (header.format) {
    case CompressionFormat::Lz10:
        return decodeLz(s, sink, false);
    case CompressionFormat::Lz11:
        return decodeLz(s, sink, true);
    case CompressionFormat::Rle:
        return decodeRle(s, sink, strictness);
    case CompressionFormat::Huffman4:
        return decodeHuffman<4>(s, sink, strictness);
    case CompressionFormat::Huffman8:
        return decodeHuffman<8>(s, sink, strictness);
    }
    return {};
}

std::string hexOffset(std::size_t value)
{
    constexpr char digits[] = "0123456789ABCDEF";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = digits[value & 15];
    return text;
}

std::string faultText(const Decoded& d, const BlockHeader& header)
{
    const std::string where = " at " + hexOffset(d.at) + " (after " + std::to_string(d.out) + " of " +
                              std::to_string(header.decompressedSize) + " bytes)";
    switch (d.fault) {
    case Fault::None:
        return {};
    case Fault::RunsOut:
        return "the stream runs out at the end of the image" + where;
    case Fault::CopyBeforeStart:
        return "a copy reaches back before the start of the output" + where;
    case Fault::PastSize:
        return "an item runs past the announced size" + where;
    case Fault::TreeOutside:
        return "a Huffman tree node points past the tree" + where;
    case Fault::NotAsEncoded:
        return "the stream is not as an encoder writes it" + where;
    }
    return {};
}

} // namespace

DecompressResult decompressBlock(std::span<const std::uint8_t> image, std::size_t offset,
                                 std::optional<CompressionFormat> as)
{
    DecompressResult result;
    const HeaderRead read = readBlockHeader(image, offset, as);
    if (!read.header) {
        result.error = read.error;
        return result;
    }
    const BlockHeader& header = *read.header;
    result.info.format = header.format;
    if (header.decompressedSize > std::size_t(-1) / 2) {
        result.error = "the announced size is too large for this system";
        return result;
    }
    ByteSink sink(static_cast<std::size_t>(header.decompressedSize));
    const Decoded decoded = decodeStream(image, offset, header, sink, Strictness::Decoder);
    if (decoded.fault != Fault::None) {
        result.error = faultText(decoded, header);
        return result;
    }
    result.bytes = sink.take();
    result.bytes.resize(static_cast<std::size_t>(header.decompressedSize));
    result.info.compressedSize = decoded.at - offset;
    result.info.decompressedSize = result.bytes.size();
    result.info.copiesFromOneBack = decoded.oneBack;
    return result;
}

std::optional<BlockInfo> measureBlock(std::span<const std::uint8_t> image, std::size_t offset, Strictness strictness,
                                      std::string* error)
{
    const HeaderRead read = readBlockHeader(image, offset);
    if (!read.header) {
        if (error)
            *error = read.error;
        return std::nullopt;
    }
    CountingSink sink;
    const Decoded decoded = decodeStream(image, offset, *read.header, sink, strictness);
    if (decoded.fault != Fault::None) {
        if (error)
            *error = faultText(decoded, *read.header);
        return std::nullopt;
    }
    return BlockInfo{read.header->format, decoded.at - offset, static_cast<std::size_t>(read.header->decompressedSize),
                     decoded.oneBack};
}

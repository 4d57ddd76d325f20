#include "compression/decompress.h"

#include <algorithm>
#include <bitset>
#include <cstring>

namespace {

// Why a stream was refused, without building a message: the scan refuses
// millions of candidates and only the decompress command shows the reason.
enum class Fault { None, RunsOut, CopyBeforeStart, PastSize, TreeOutside, NotAsEncoded };

struct Decoded {
    Fault fault = Fault::None;
    std::size_t at = 0;  // image offset of the item at fault, or one past the stream
    std::size_t out = 0; // output bytes written before it
    bool oneBack = false; // an LZ77 copy from one byte back was seen
};

// Output kept in memory, grown as the stream proves it fills it, so that a
// header's promise alone never allocates much.
class ByteSink {
public:
    explicit ByteSink(std::size_t limit) : limit_(limit) { bytes_.resize(std::min<std::size_t>(limit, 1 << 16)); }

    void literal(std::size_t pos, std::uint8_t value)
    {
        ensure(pos + 1);
        bytes_[pos] = value;
    }
    void literals(std::size_t pos, const std::uint8_t* from, std::size_t count)
    {
        ensure(pos + count);
        std::memcpy(bytes_.data() + pos, from, count);
    }
    void fill(std::size_t pos, std::uint8_t value, std::size_t count)
    {
        ensure(pos + count);
        std::memset(bytes_.data() + pos, value, count);
    }
    // Copies may overlap what they write: a distance of 1 repeats one byte.
    void copy(std::size_t pos, std::size_t distance, std::size_t count)
    {
        ensure(pos + count);
        std::uint8_t* to = bytes_.data() + pos;
        const std::uint8_t* from = to - distance;
        if (distance >= count)
            std::memcpy(to, from, count);
        else if (distance == 1)
            std::memset(to, *from, count);
        else
            for (std::size_t i = 0; i < count; ++i)
                to[i] = from[i];
    }

    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    void ensure(std::size_t end)
    {
        if (end > bytes_.size())
            bytes_.resize(std::min(limit_, std::max(end, bytes_.size() * 2)));
    }

    std::vector<std::uint8_t> bytes_;
    std::size_t limit_;
};

// Checks the stream without keeping a byte.
struct CountingSink {
    void literal(std::size_t, std::uint8_t) {}
    void literals(std::size_t, const std::uint8_t*, std::size_t) {}
    void fill(std::size_t, std::uint8_t, std::size_t) {}
    void copy(std::size_t, std::size_t, std::size_t) {}
};

struct Stream {
    const std::uint8_t* src;
    std::size_t in;   // the next byte to read
    std::size_t end;  // the end of the image
    std::size_t size; // the announced output size
};

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

// The tree as an encoder writes it: every pair used once, every symbol once,
// 4-bit symbols below 16, no table space beyond what padding explains.
bool treeAsEncoded(const std::uint8_t* tree, std::size_t treeBytes, bool fourBit)
{
    std::bitset<256> pairUsed;
    std::bitset<256> symbolSeen;
    std::size_t pairs = 0;
    std::uint16_t stack[512];
    std::size_t depth = 0;
    stack[depth++] = 1;
    while (depth > 0) {
        const std::size_t node = stack[--depth];
        const unsigned descriptor = tree[node];
        const std::size_t pair = (node & ~std::size_t{1}) + (descriptor & 0x3F) * 2 + 2;
        if (pair + 1 >= treeBytes || pairUsed.test(pair / 2))
            return false;
        pairUsed.set(pair / 2);
        ++pairs;
        for (unsigned bit = 0; bit < 2; ++bit) {
            const std::size_t child = pair + bit;
            if ((descriptor & (bit ? 0x40u : 0x80u)) == 0) {
                stack[depth++] = static_cast<std::uint16_t>(child);
                continue;
            }
            const unsigned symbol = tree[child];
            if ((fourBit && symbol > 15) || symbolSeen.test(symbol))
                return false;
            symbolSeen.set(symbol);
        }
    }
    return treeBytes <= (((pairs + 1) * 2 + 3) & ~std::size_t{3});
}

// Each node's step for bit 0 and bit 1: the child node, a symbol (kSymbol
// set), or kOutside when the node points past the table.
constexpr std::uint16_t kSymbol = 0x8000;
constexpr std::uint16_t kOutside = 0xFFFF;
using Steps = std::uint16_t[512][2];

void buildSteps(const std::uint8_t* tree, std::size_t treeBytes, unsigned symbolMask, Steps& step)
{
    for (std::size_t node = 1; node < treeBytes; ++node) {
        const unsigned descriptor = tree[node];
        const std::size_t pair = (node & ~std::size_t{1}) + (descriptor & 0x3F) * 2 + 2;
        for (unsigned bit = 0; bit < 2; ++bit) {
            const std::size_t child = pair + bit;
            if (child >= treeBytes)
                step[node][bit] = kOutside;
            else if (descriptor & (bit ? 0x40u : 0x80u))
                step[node][bit] = static_cast<std::uint16_t>(kSymbol | (tree[child] & symbolMask));
            else
                step[node][bit] = static_cast<std::uint16_t>(child);
        }
    }
}

// The next kPeek bits from the root at once: up to three whole codes, their
// symbols packed first-lowest, or (count 0) the node the bits lead to.
constexpr int kPeek = 11;
struct Peek {
    std::uint32_t packed;
    std::uint8_t count;
    std::uint8_t length; // bits of the whole codes
    std::uint16_t node;  // when count is 0: after kPeek bits, or kOutside
};

void buildPeeks(const Steps& step, int symbolBits, Peek (&fromRoot)[1 << kPeek])
{
    for (std::uint32_t prefix = 0; prefix < (1u << kPeek); ++prefix) {
        Peek peek{0, 0, 0, 1};
        std::size_t node = 1;
        for (int used = 1; used <= kPeek && peek.count < 3; ++used) {
            const std::uint16_t next = step[node][(prefix >> (kPeek - used)) & 1];
            if (next == kOutside) {
                node = kOutside;
                break;
            }
            if (next & kSymbol) {
                peek.packed |= static_cast<std::uint32_t>(next & 0xFF) << (peek.count * symbolBits);
                ++peek.count;
                peek.length = static_cast<std::uint8_t>(used);
                node = 1;
            } else {
                node = next;
            }
        }
        peek.node = static_cast<std::uint16_t>(node);
        fromRoot[prefix] = peek;
    }
}

template <int SymbolBits, class Sink>
Decoded decodeHuffman(Stream s, Sink& sink, Strictness strictness)
{
    constexpr bool fourBit = SymbolBits == 4;
    if (s.in >= s.end)
        return {Fault::RunsOut, s.in, 0};
    const std::size_t treeStart = s.in;
    const std::size_t treeBytes = (std::size_t{s.src[s.in]} + 1) * 2;
    if (s.end - s.in < treeBytes)
        return {Fault::RunsOut, s.end, 0};
    const std::uint8_t* tree = s.src + treeStart;
    if (strictness == Strictness::Encoder && !treeAsEncoded(tree, treeBytes, fourBit))
        return {Fault::NotAsEncoded, treeStart, 0};
    Steps step;
    buildSteps(tree, treeBytes, fourBit ? 0x0F : 0xFF, step);
    Peek fromRoot[1 << kPeek];
    buildPeeks(step, SymbolBits, fromRoot);

    const std::size_t streamStart = treeStart + treeBytes;
    const std::size_t words = (s.end - streamStart) / 4;
    const std::size_t symbols = fourBit ? s.size * 2 : s.size;
    std::size_t nextWord = 0;
    std::uint64_t buffer = 0; // bits still to use, the next one at the top
    int count = 0;
    std::uint64_t used = 0;
    // Symbols gather here, the first lowest (4-bit ones fill each byte low
    // nibble first), and leave 4 bytes at a time.
    std::uint64_t gathered = 0;
    int gatheredBits = 0;
    std::size_t written = 0;
    const auto put = [&](std::uint32_t packed, int symbolCount) {
        gathered |= std::uint64_t{packed} << gatheredBits;
        gatheredBits += symbolCount * SymbolBits;
        if (gatheredBits >= 32) {
            const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(gathered), static_cast<std::uint8_t>(gathered >> 8),
                                           static_cast<std::uint8_t>(gathered >> 16),
                                           static_cast<std::uint8_t>(gathered >> 24)};
            sink.literals(written, bytes, 4);
            written += 4;
            gathered >>= 32;
            gatheredBits -= 32;
        }
    };
    std::size_t index = 0;
    std::size_t node = 1;
    while (index < symbols) {
        while (count <= 32 && nextWord < words) {
            const std::uint8_t* w = s.src + streamStart + 4 * nextWord++;
            const std::uint32_t word =
                static_cast<std::uint32_t>(w[0] | w[1] << 8 | w[2] << 16) | std::uint32_t{w[3]} << 24;
            buffer |= std::uint64_t{word} << (32 - count);
            count += 32;
        }
        if (node == 1 && count >= kPeek) {
            const Peek& peek = fromRoot[buffer >> (64 - kPeek)];
            if (peek.count > 0 && symbols - index >= 3) {
                put(peek.packed, peek.count);
                index += peek.count;
                buffer <<= peek.length;
                count -= peek.length;
                used += peek.length;
                continue;
            }
            if (peek.count == 0 && peek.node != kOutside) {
                node = peek.node;
                buffer <<= kPeek;
                count -= kPeek;
                used += kPeek;
                continue;
            }
        }
        if (count == 0)
            return {Fault::RunsOut, streamStart + 4 * nextWord, written};
        const std::uint16_t next = step[node][buffer >> 63];
        if (next == kOutside)
            return {Fault::TreeOutside, treeStart + node, written};
        buffer <<= 1;
        --count;
        ++used;
        if (next & kSymbol) {
            put(next & 0xFF, 1);
            ++index;
            node = 1;
        } else {
            node = next;
        }
    }
    for (; gatheredBits > 0; gatheredBits -= 8, gathered >>= 8)
        sink.literal(written++, static_cast<std::uint8_t>(gathered));
    return {Fault::None, streamStart + 4 * ((used + 31) / 32), written};
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

DecompressResult decompressBlock(std::span<const std::uint8_t> image, std::size_t offset)
{
    DecompressResult result;
    const HeaderRead read = readBlockHeader(image, offset);
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

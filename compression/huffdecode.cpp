// Huffman 24h/28h: the tree after the header, then 32-bit little-endian
// words read from their most significant bit. A node's byte holds the offset
// to its children's pair (bits 0-5) and whether child 1 (bit 6) and child 0
// (bit 7) are symbols.
#include "compression/decoding.h"

#include <bitset>

namespace decoding {
namespace {

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

} // namespace

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

template Decoded decodeHuffman<4, ByteSink>(Stream, ByteSink&, Strictness);
template Decoded decodeHuffman<8, ByteSink>(Stream, ByteSink&, Strictness);
template Decoded decodeHuffman<4, CountingSink>(Stream, CountingSink&, Strictness);
template Decoded decodeHuffman<8, CountingSink>(Stream, CountingSink&, Strictness);

} // namespace decoding

#pragma once
// What the decoders of decompress.cpp and huffdecode.cpp share: how a
// stream is read, where its bytes go, and how it ends.
#include "compression/decompress.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace decoding {

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

// Huffman 24h (SymbolBits 4) and 28h (8), in huffdecode.cpp for both sinks.
template <int SymbolBits, class Sink>
Decoded decodeHuffman(Stream s, Sink& sink, Strictness strictness);

} // namespace decoding

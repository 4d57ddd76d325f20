#pragma once
// Pairs of an original ROM and a modified one, as translations make them:
// clusters of changed bytes, runs of one value, blocks moved, the file grown
// or cut. Shared by the patch tests, the fuzz targets' seeds and the bench.
#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Random stretches between runs of one value, as code, graphics and free space alternate.
inline Bytes romLikeBytes(std::size_t size, std::mt19937& rng)
{
    Bytes bytes(size);
    for (std::size_t at = 0; at < size;) {
        const std::size_t length = std::min<std::size_t>(size - at, 1 + rng() % 4096);
        const bool run = rng() % 4 == 0;
        const auto value = static_cast<std::uint8_t>(rng());
        for (std::size_t i = at; i < at + length; ++i)
            bytes[i] = run ? value : static_cast<std::uint8_t>(rng());
        at += length;
    }
    return bytes;
}

struct PairShape {
    double changed = 0.01;          // share of bytes rewritten, in clusters of up to 256
    std::size_t moves = 0;          // blocks copied from one place to another
    std::size_t moveSize = 1024;
    std::ptrdiff_t sizeChange = 0;  // bytes added at the end (negative: cut off)
};

inline Bytes modifiedCopy(const Bytes& original, const PairShape& shape, std::mt19937& rng)
{
    Bytes out = original;
    if (out.empty())
        out.push_back(0);
    auto changed = static_cast<std::size_t>(static_cast<double>(out.size()) * shape.changed);
    while (changed > 0) {
        const std::size_t length = std::min<std::size_t>({changed, 1 + rng() % 256, out.size()});
        const std::size_t at = rng() % (out.size() - length + 1);
        const bool run = rng() % 3 == 0;
        const auto value = static_cast<std::uint8_t>(rng());
        for (std::size_t i = at; i < at + length; ++i)
            out[i] = run ? value : static_cast<std::uint8_t>(rng());
        changed -= length;
    }
    for (std::size_t m = 0; m < shape.moves && shape.moveSize < out.size(); ++m) {
        const std::size_t from = rng() % (out.size() - shape.moveSize);
        const std::size_t to = rng() % (out.size() - shape.moveSize);
        std::copy_n(original.begin() + static_cast<std::ptrdiff_t>(from), shape.moveSize,
                    out.begin() + static_cast<std::ptrdiff_t>(to));
    }
    if (shape.sizeChange < 0)
        out.resize(out.size() - std::min(out.size(), static_cast<std::size_t>(-shape.sizeChange)));
    for (std::ptrdiff_t i = 0; i < shape.sizeChange; ++i)
        out.push_back(i % 7 == 0 ? static_cast<std::uint8_t>(rng()) : 0xFF);
    return out;
}

#pragma once
// The encoder of each format, behind compressBlock. Each returns the whole
// block, header included; the input is no longer than its header can say.
#include <cstdint>
#include <span>
#include <vector>

[[nodiscard]] std::vector<std::uint8_t> encodeLz(std::span<const std::uint8_t> data, bool lz11, bool vramSafe);
[[nodiscard]] std::vector<std::uint8_t> encodeRle(std::span<const std::uint8_t> data);
[[nodiscard]] std::vector<std::uint8_t> encodeHuffman(std::span<const std::uint8_t> data, bool fourBit);

// The 4-byte header (8 for an LZ11 size past 24 bits) at the end of `out`.
void appendBlockHeader(std::vector<std::uint8_t>& out, std::uint8_t type, std::size_t size);

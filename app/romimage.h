#pragma once
// The ROM image: the opened file as bytes, padded to a minimum size.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr std::int32_t kMinimumLoadSize = 16384;  // after Open
constexpr std::int32_t kMinimumReloadSize = 8192; // after Reload
constexpr std::uint8_t kPaddingByte = 0x00;       // past the end of a short file

// The extension with its dot ("" when the file name has none), as typed.
std::string fileExtension(std::string_view fileName);
// Codec chosen by a file name's extension when a ROM is opened.
int codecForFileName(std::string_view fileName);

// The bytes of a file as a ROM image: grown with padding bytes to `minimum`.
std::vector<std::uint8_t> makeRomImage(std::vector<std::uint8_t> fileBytes, std::int32_t minimum);

#pragma once
// What the patch makers and appliers hand back: the bytes made, or a message
// that says why nothing was made.
#include "app/romimage.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

using ByteView = std::span<const std::uint8_t>;

// A BPS patch made for another ROM: the size and CRC-32 it was made for and
// the ROM's own, for windows that word the message in their language.
struct OtherRom {
    std::uint64_t patchSize = 0;
    std::uint32_t patchCrc = 0;
    std::uint64_t romSize = 0;
    std::uint32_t romCrc = 0;
};

struct PatchResult {
    RomBytes bytes;    // the patch or the patched ROM; empty on failure
    std::string error; // empty on success
    std::optional<OtherRom> otherRom; // set when that is why it failed

    [[nodiscard]] bool ok() const { return error.empty(); }
};

inline PatchResult patchFailure(std::string message)
{
    PatchResult result;
    result.error = std::move(message);
    return result;
}
inline PatchResult patchMade(RomBytes bytes)
{
    PatchResult result;
    result.bytes = std::move(bytes);
    return result;
}

enum class PatchFormat { Ips, Bps };

// The ROM image's offsets are signed 32-bit, so no patch may make more.
inline constexpr std::uint64_t kLargestPatchedSize = 0x7FFFFFFF;

// The format a patch file's first bytes announce; none for anything else.
[[nodiscard]] std::optional<PatchFormat> patchFormatOf(ByteView patch);
// The format a file name's extension (".ips", ".bps", any letter case) names.
[[nodiscard]] std::optional<PatchFormat> patchFormatForFileName(std::string_view fileName);

[[nodiscard]] PatchResult makePatch(PatchFormat format, ByteView original, ByteView modified);
// Applies an IPS or BPS patch, whichever its first bytes announce.
[[nodiscard]] PatchResult applyPatch(ByteView rom, ByteView patch);

// CRC-32 as zip, PNG and BPS compute it.
[[nodiscard]] std::uint32_t crc32Of(ByteView bytes);

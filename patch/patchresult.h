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

struct PatchResult {
    RomBytes bytes;    // the patch or the patched ROM; empty on failure
    std::string error; // empty on success

    [[nodiscard]] bool ok() const { return error.empty(); }
};

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

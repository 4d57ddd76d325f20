#pragma once
// BPS patches: "BPS1", the sizes of source and target, metadata, actions
// that build the target from the source, the patch and the target's own
// bytes, and the CRC-32s of source, target and patch.
#include "patch/patchresult.h"

#include <string>

// The patch that turns `original` into `modified`: unchanged bytes are read
// in place, bytes found elsewhere in either file are copied from there.
[[nodiscard]] PatchResult makeBpsPatch(ByteView original, ByteView modified, std::string_view metadata = {});
// The patched ROM, or a message; the ROM's size and CRC-32 are checked
// before anything is written, the result's after.
[[nodiscard]] PatchResult applyBpsPatch(ByteView rom, ByteView patch);

// The variable-length numbers of BPS, for the maker and the tests.
void appendBpsNumber(RomBytes& out, std::uint64_t value);

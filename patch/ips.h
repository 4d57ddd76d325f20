#pragma once
// IPS patches: "PATCH", records of a 24-bit big-endian offset, a 16-bit size
// and the bytes (size 0: a run of one value), "EOF", and an optional 24-bit
// length the file is cut to.
#include "patch/patchresult.h"

// Fails when the files differ past what 24-bit offsets reach.
[[nodiscard]] PatchResult makeIpsPatch(ByteView original, ByteView modified);
// The patched ROM, or a message; a patch is applied whole or not at all.
[[nodiscard]] PatchResult applyIpsPatch(ByteView rom, ByteView patch);

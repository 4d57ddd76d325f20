#pragma once
// Every built-in codec registered once more as a described codec, from its
// own layout, so tests can hold the general decoder against the built-in.
#include "tiles/codecdescription.h"

#include <array>
#include <optional>
#include <string>

inline Codec describedCopy(Codec builtIn)
{
    static std::array<std::optional<Codec>, kCodecCount> copies;
    std::optional<Codec>& copy = copies[static_cast<std::size_t>(codecIndex(builtIn))];
    if (!copy) {
        CodecDescription description = describeBuiltIn(builtIn);
        description.name += " (described)";
        std::string error;
        copy = addDescribedCodec(description, error);
    }
    return copy.value_or(builtIn);
}

// IPS patches, any bytes. Read: a patch is applied whole, exactly as a plain
// reading of its records gives it, or refused with a message. Made: a patch
// made between any two files applies to the first and gives the second.
#include "fuzzinput.h"
#include "patchpair.h"

#include "patch/ips.h"

#include <optional>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Byte by byte, as the format is described: none when the patch is bad.
std::optional<Bytes> referenceApply(const Bytes& rom, std::span<const std::uint8_t> patch)
{
    if (patch.size() < 5 || asText(patch.first(5)) != "PATCH")
        return std::nullopt;
    Bytes out = rom;
    std::size_t at = 5;
    const auto number = [&](int bytes) {
        std::size_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value = value << 8 | patch[at++];
        return value;
    };
    const auto put = [&](std::size_t offset, std::uint8_t value) {
        if (offset >= out.size())
            out.resize(offset + 1, 0);
        out[offset] = value;
    };
    while (true) {
        if (patch.size() - at < 3)
            return std::nullopt;
        if (asText(patch.subspan(at, 3)) == "EOF")
            break;
        const std::size_t offset = number(3);
        if (patch.size() - at < 2)
            return std::nullopt;
        const std::size_t size = number(2);
        const std::size_t need = size == 0 ? 3 : size;
        if (patch.size() - at < need)
            return std::nullopt;
        if (size == 0) {
            const std::size_t count = number(2);
            const std::uint8_t value = patch[at++];
            for (std::size_t i = 0; i < count; ++i)
                put(offset + i, value);
        } else {
            for (std::size_t i = 0; i < size; ++i)
                put(offset + i, patch[at++]);
        }
    }
    at += 3;
    if (patch.size() - at == 3) {
        const std::size_t length = number(3);
        if (length > out.size())
            return std::nullopt;
        out.resize(length);
    } else if (patch.size() != at) {
        return std::nullopt;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    if (input.flag()) {
        const std::span<const std::uint8_t> romPart = input.bytes(input.take<std::uint8_t>());
        const Bytes rom(romPart.begin(), romPart.end());
        Bytes patch{'P', 'A', 'T', 'C', 'H'};
        const std::span<const std::uint8_t> rest = input.rest();
        patch.insert(patch.end(), rest.begin(), rest.end());
        const PatchResult result = applyIpsPatch(rom, patch);
        const std::optional<Bytes> expected = referenceApply(rom, patch);
        FUZZ_CHECK(result.ok() == expected.has_value());
        if (expected)
            FUZZ_CHECK(Bytes(result.bytes.begin(), result.bytes.end()) == *expected);
        else
            FUZZ_CHECK(!result.error.empty() && result.bytes.empty());
        return 0;
    }
    const FuzzPair pair = fuzzPair(input);
    const PatchResult patch = makeIpsPatch(pair.original, pair.modified);
    FUZZ_CHECK(patch.ok());
    const PatchResult applied = applyIpsPatch(pair.original, patch.bytes);
    FUZZ_CHECK(applied.ok());
    FUZZ_CHECK(Bytes(applied.bytes.begin(), applied.bytes.end()) == pair.modified);
    return 0;
}

// BPS patches, any bytes. Read: the actions of a patch whose sizes and
// CRC-32s the target puts right (so the fuzzer reaches them) are applied
// exactly as a plain byte-by-byte reading of the format gives them, or the
// patch is refused; raw patches are refused or applied, never more. Made: a
// patch made between any two files applies to the first and gives the second.
#include "fuzzinput.h"
#include "patchpair.h"

#include "patch/bps.h"

#include <optional>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The target the actions make, byte by byte; none when an action is bad.
std::optional<Bytes> referenceActions(const Bytes& rom, std::span<const std::uint8_t> actions, std::size_t targetSize)
{
    Bytes out;
    std::size_t at = 0;
    const auto number = [&]() -> std::optional<std::uint64_t> {
        std::uint64_t value = 0, shift = 1;
        for (int i = 0; i < 9 && at < actions.size(); ++i) {
            const std::uint8_t byte = actions[at++];
            value += (byte & 0x7Fu) * shift;
            if (byte & 0x80)
                return value;
            shift <<= 7;
            value += shift;
        }
        return std::nullopt;
    };
    std::int64_t source = 0, target = 0;
    while (at < actions.size()) {
        const std::optional<std::uint64_t> command = number();
        if (!command)
            return std::nullopt;
        const std::uint64_t length = (*command >> 2) + 1;
        if (length > targetSize - out.size())
            return std::nullopt;
        const int kind = static_cast<int>(*command & 3);
        std::int64_t* relative = kind == 2 ? &source : &target;
        if (kind >= 2) {
            const std::optional<std::uint64_t> raw = number();
            if (!raw || (*raw >> 1) > 0x7FFFFFFF)
                return std::nullopt;
            *relative += (*raw & 1) ? -static_cast<std::int64_t>(*raw >> 1) : static_cast<std::int64_t>(*raw >> 1);
        }
        for (std::uint64_t i = 0; i < length; ++i) {
            if (kind == 0) {
                if (out.size() >= rom.size())
                    return std::nullopt;
                out.push_back(rom[out.size()]);
            } else if (kind == 1) {
                if (at >= actions.size())
                    return std::nullopt;
                out.push_back(actions[at++]);
            } else if (kind == 2) {
                if (source < 0 || static_cast<std::uint64_t>(source) >= rom.size())
                    return std::nullopt;
                out.push_back(rom[static_cast<std::size_t>(source++)]);
            } else {
                if (target < 0 || static_cast<std::uint64_t>(target) >= out.size())
                    return std::nullopt;
                out.push_back(out[static_cast<std::size_t>(target++)]);
            }
        }
    }
    if (out.size() != targetSize)
        return std::nullopt;
    return out;
}

void appendLittle32(Bytes& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const int mode = input.inRange(0, 2);
    if (mode == 0) {
        // Raw: no more than refused or applied to the announced size.
        const std::span<const std::uint8_t> romPart = input.bytes(input.take<std::uint8_t>());
        const Bytes rom(romPart.begin(), romPart.end());
        Bytes patch{'B', 'P', 'S', '1'};
        const std::span<const std::uint8_t> rest = input.rest();
        patch.insert(patch.end(), rest.begin(), rest.end());
        const PatchResult result = applyBpsPatch(rom, patch);
        FUZZ_CHECK(result.ok() ? result.error.empty() : result.bytes.empty() && !result.error.empty());
        return 0;
    }
    if (mode == 1) {
        const std::span<const std::uint8_t> romPart = input.bytes(input.take<std::uint8_t>());
        const Bytes rom(romPart.begin(), romPart.end());
        const std::size_t targetSize = input.take<std::uint16_t>() % 4096;
        const std::span<const std::uint8_t> actions = input.rest();
        const std::optional<Bytes> expected = referenceActions(rom, actions, targetSize);
        RomBytes header{'B', 'P', 'S', '1'};
        appendBpsNumber(header, rom.size());
        appendBpsNumber(header, targetSize);
        appendBpsNumber(header, 0);
        Bytes patch(header.begin(), header.end());
        patch.insert(patch.end(), actions.begin(), actions.end());
        appendLittle32(patch, crc32Of(rom));
        appendLittle32(patch, expected ? crc32Of(*expected) : 0);
        appendLittle32(patch, crc32Of(patch));
        const PatchResult result = applyBpsPatch(rom, patch);
        FUZZ_CHECK(result.ok() == expected.has_value());
        if (expected)
            FUZZ_CHECK(Bytes(result.bytes.begin(), result.bytes.end()) == *expected);
        return 0;
    }
    const FuzzPair pair = fuzzPair(input);
    const PatchResult patch = makeBpsPatch(pair.original, pair.modified);
    FUZZ_CHECK(patch.ok());
    const PatchResult applied = applyBpsPatch(pair.original, patch.bytes);
    FUZZ_CHECK(applied.ok());
    FUZZ_CHECK(Bytes(applied.bytes.begin(), applied.bytes.end()) == pair.modified);
    return 0;
}

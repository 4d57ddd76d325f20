// IPS and BPS patches: round trips on made-up translations, hand-computed
// patches, the format's edges and every kind of refusal.
#include "patch/bps.h"
#include "patch/ips.h"
#include "support/patchpairs.h"
#include "support/testdata.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

namespace {

Bytes bytesOf(const RomBytes& bytes) { return Bytes(bytes.begin(), bytes.end()); }
Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes applied(const Bytes& rom, const RomBytes& patch)
{
    const PatchResult result = applyPatch(rom, patch);
    EXPECT_TRUE(result.ok()) << result.error;
    return bytesOf(result.bytes);
}

void appendLittle32(RomBytes& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// A BPS patch from its parts, with the three CRC-32s it needs.
Bytes bpsPatch(const Bytes& source, const Bytes& target, std::uint64_t targetSize, std::string_view metadata,
               const Bytes& actions)
{
    RomBytes patch{'B', 'P', 'S', '1'};
    for (const std::uint64_t number : {std::uint64_t{source.size()}, targetSize, std::uint64_t{metadata.size()}})
        appendBpsNumber(patch, number);
    patch.insert(patch.end(), metadata.begin(), metadata.end());
    patch.insert(patch.end(), actions.begin(), actions.end());
    appendLittle32(patch, crc32Of(source));
    appendLittle32(patch, crc32Of(target));
    appendLittle32(patch, crc32Of(patch));
    return bytesOf(patch);
}

// The offsets of an IPS patch's records, read without the applier.
std::vector<std::size_t> ipsRecordOffsets(const RomBytes& patch)
{
    std::vector<std::size_t> offsets;
    for (std::size_t at = 5; at + 3 <= patch.size();) {
        const std::size_t offset = std::size_t{patch[at]} << 16 | std::size_t{patch[at + 1]} << 8 | patch[at + 2];
        if (offset == 0x454F46)
            break; // "EOF"
        offsets.push_back(offset);
        const std::size_t size = std::size_t{patch[at + 3]} << 8 | patch[at + 4];
        at += 5 + (size == 0 ? 3 : size);
    }
    return offsets;
}

} // namespace

TEST(Patch, BothFormatsRoundTripOnTranslationLikePairs)
{
    const std::vector<PairShape> shapes{
        {0.0, 0, 0, 0},     {0.01, 0, 0, 0},  {0.2, 3, 700, 0},     {0.05, 1, 5000, 3000},
        {0.05, 2, 64, -5000}, {1.0, 0, 0, 0}, {0.0, 0, 0, -40000}, {0.0, 0, 0, 100000},
    };
    for (unsigned seed = 0; seed < 24; ++seed) {
        std::mt19937 rng(seed);
        const Bytes original = romLikeBytes(rng() % 3 == 0 ? rng() % 64 : 1 + rng() % 200000, rng);
        const PairShape& shape = shapes[seed % shapes.size()];
        const Bytes modified = modifiedCopy(original, shape, rng);
        for (const PatchFormat format : {PatchFormat::Ips, PatchFormat::Bps}) {
            const PatchResult patch = makePatch(format, original, modified);
            ASSERT_TRUE(patch.ok()) << patch.error;
            EXPECT_EQ(patchFormatOf(patch.bytes), format);
            EXPECT_EQ(applied(original, patch.bytes), modified) << "seed " << seed;
        }
    }
}

TEST(Patch, Crc32IsZlibsAtEverySize)
{
    const Bytes bytes = randomBytes((1 << 20) + 100, 9);
    for (const std::size_t size : {0, 1, 4095, 4096, 4097, 4111, 5000, 65539, (1 << 20) + 100})
        EXPECT_EQ(crc32Of(ByteView(bytes).first(size)), crc32_z(0, bytes.data(), size)) << size;
}

TEST(Patch, IdenticalFilesGiveEmptyPatches)
{
    const Bytes rom = randomBytes(5000, 1);
    EXPECT_EQ(bytesOf(makeIpsPatch(rom, rom).bytes), bytesOf("PATCHEOF"));
    // Header, one SourceRead of everything, three CRC-32s.
    EXPECT_LE(makeBpsPatch(rom, rom).bytes.size(), 4u + 2 + 2 + 1 + 3 + 12);
}

TEST(Ips, NoRecordStartsWhereItsOffsetWouldReadAsEof)
{
    constexpr std::size_t kEof = 0x454F46;
    const Bytes original(kEof + 0x20000, 0x11);
    // Changes starting at the offset: plain bytes, a run, and a plain record
    // of 0xFFFF bytes whose second part would start there.
    const std::vector<std::pair<std::size_t, std::size_t>> changes{{kEof, 3}, {kEof, 40}, {kEof - 0xFFFF, 0xFFFF + 9}};
    for (const auto& [at, length] : changes) {
        Bytes modified = original;
        for (std::size_t i = at; i < at + length; ++i)
            modified[i] = length == 40 ? 0x22 : static_cast<std::uint8_t>(i * 7 + 1);
        const PatchResult patch = makeIpsPatch(original, modified);
        ASSERT_TRUE(patch.ok()) << patch.error;
        for (const std::size_t offset : ipsRecordOffsets(patch.bytes))
            EXPECT_NE(offset, kEof);
        EXPECT_EQ(applied(original, patch.bytes), modified) << at << "+" << length;
    }
}

TEST(Ips, OffsetsPast16MiBAreRefusedNamingBps)
{
    Bytes original(0x1000000 + 100, 0);
    Bytes modified = original;
    modified[0xFFFFFF] = 1; // the last offset a record can start at
    const PatchResult reachable = makeIpsPatch(original, modified);
    ASSERT_TRUE(reachable.ok()) << reachable.error;
    EXPECT_EQ(applied(original, reachable.bytes), modified);

    modified[0x1000000 + 50] = 1;
    const PatchResult tooFar = makeIpsPatch(original, modified);
    EXPECT_FALSE(tooFar.ok());
    EXPECT_NE(tooFar.error.find("BPS"), std::string::npos) << tooFar.error;
    // Cutting a file to more than 24 bits can say is as far out of reach.
    original.push_back(0);
    EXPECT_NE(makeIpsPatch(original, Bytes(original.size() - 1, 0)).error.find("BPS"), std::string::npos);
}

TEST(Ips, RecordsRunsGrowthAndTruncationApply)
{
    const Bytes rom = bytesOf("abcdefgh");
    // "xy" at 2, a run of four 'z' at 10 (grows the file, byte 8..9 zero), then cut to 12.
    const Bytes patch = bytesOf(std::string("PATCH\0\0\2\0\2xy\0\0\x0a\0\0\0\4zEOF\0\0\x0c", 26));
    EXPECT_EQ(applied(rom, RomBytes(patch.begin(), patch.end())), bytesOf(std::string("abxyefgh\0\0zz", 12)));
}

TEST(Ips, DamagedPatchesAreRefused)
{
    const Bytes rom(64, 0);
    const std::vector<std::pair<std::string, std::string>> cases{
        {"IPS!", "not an IPS patch"},
        {"PATCH", "cut off"},
        {std::string("PATCH\0\0\1\0\5ab", 12), "cut off"},
        {std::string("PATCH\0\0\1\0\0\0", 11), "cut off"},
        {"PATCHEOF\1", "after its \"EOF\""},
        {"PATCHEOF\1\2\3\4", "after its \"EOF\""},
        {std::string("PATCHEOF\0\0\x41", 11), "cuts the file to 65"},
    };
    for (const auto& [patch, message] : cases) {
        const PatchResult result = applyIpsPatch(rom, bytesOf(patch));
        EXPECT_FALSE(result.ok());
        EXPECT_NE(result.error.find(message), std::string::npos) << result.error;
    }
}

TEST(Bps, NumbersAreSevenBitsWithOneSubtracted)
{
    const std::vector<std::pair<std::uint64_t, Bytes>> cases{
        {0, {0x80}}, {127, {0xFF}}, {128, {0x00, 0x80}}, {255, {0x7F, 0x80}}, {16511, {0x7F, 0xFF}}, {16512, {0x00, 0x00, 0x80}}};
    for (const auto& [value, encoded] : cases) {
        RomBytes out;
        appendBpsNumber(out, value);
        EXPECT_EQ(bytesOf(out), encoded) << value;
    }
}

TEST(Bps, HandComputedPatchesApply)
{
    const Bytes source = bytesOf("ABCDEFGH");
    struct Case {
        const char* what;
        Bytes actions;
        std::string target;
    };
    const std::vector<Case> cases{
        // SourceRead 3 "ABC", TargetRead "xy", SourceRead 3 (source 5..7) "FGH".
        {"reads", {0x88, 0x85, 'x', 'y', 0x88}, "ABCxyFGH"},
        // SourceCopy 2 from +6 "GH", SourceCopy 3 from 8-6 = -6 back to 2 "CDE".
        {"source copies, negative offset", {0x86, 0x8C, 0x8A, 0x8D}, "GHCDE"},
        // TargetRead "ab", TargetCopy 6 from 0: overlapping, "ababab".
        {"overlapping target copy", {0x85, 'a', 'b', 0x97, 0x80}, "abababab"},
        // TargetRead "q", TargetCopy 4 from 0 (a run), TargetCopy 2 from 0 - back to 1 - "qq".
        {"target copy, negative offset", {0x81, 'q', 0x8F, 0x80, 0x87, 0x87}, "qqqqqqq"},
    };
    for (const Case& c : cases) {
        const Bytes target = bytesOf(c.target);
        for (const std::string_view metadata : {"", "<patch>translated</patch>"}) {
            const PatchResult result =
                applyBpsPatch(source, bpsPatch(source, target, target.size(), metadata, c.actions));
            EXPECT_TRUE(result.ok()) << c.what << ": " << result.error;
            EXPECT_EQ(bytesOf(result.bytes), target) << c.what;
        }
    }
}

TEST(Bps, MovedDataIsCopiedNotRepeated)
{
    std::mt19937 rng(7);
    // One byte inserted at the start of a 1 MiB ROM.
    const Bytes rom = romLikeBytes(1 << 20, rng);
    Bytes inserted = rom;
    inserted.insert(inserted.begin(), 0x5A);
    const PatchResult shifted = makeBpsPatch(rom, inserted);
    EXPECT_LE(shifted.bytes.size(), 4096u);
    EXPECT_EQ(applied(rom, shifted.bytes), inserted);

    // Texts moved to free space, and one of them written twice there.
    Bytes original = randomBytes(300000, 3);
    std::fill(original.begin() + 200000, original.end(), 0xFF);
    Bytes translated = original;
    std::copy_n(original.begin() + 1000, 20000, translated.begin() + 210000);
    std::copy_n(translated.begin() + 210000, 3000, translated.begin() + 240000);
    const Bytes fresh = randomBytes(6000, 4);
    std::copy(fresh.begin(), fresh.end(), translated.begin() + 250000);
    std::copy(fresh.begin(), fresh.end(), translated.begin() + 260000);
    const PatchResult moved = makeBpsPatch(original, translated);
    EXPECT_LT(moved.bytes.size(), fresh.size() + 200);
    EXPECT_EQ(applied(original, moved.bytes), translated);
}

TEST(Bps, DamagedOrForeignPatchesAreRefusedWithTheReason)
{
    const Bytes source = bytesOf("ABCDEFGH");
    const Bytes target = bytesOf("ABCD");
    const auto patch = [&](std::uint64_t targetSize, const Bytes& actions) {
        return bpsPatch(source, target, targetSize, "", actions);
    };
    Bytes flipped = patch(4, {0x8C});
    flipped[5] ^= 1;
    RomBytes huge{'B', 'P', 'S', '1'};
    for (const std::uint64_t n : {std::uint64_t{8}, std::uint64_t{1} << 60, std::uint64_t{0}})
        appendBpsNumber(huge, n);
    huge.resize(huge.size() + 12, 0);

    const std::vector<std::pair<Bytes, std::string>> cases{
        {patch(4, {0x8C}), ""},
        {bytesOf("BPS"), "not a BPS patch"},
        {flipped, "CRC-32 does not match"},
        {bytesOf(huge), "announces a result of 1152921504606846976 bytes"},
        {patch(4, {0x9C}), "past the announced end"},
        {patch(9, {0xA0}), "reads past the end of the ROM"},
        {patch(4, {0x8E, 0x83}), "copies from outside the ROM"},
        {patch(4, {0x8E, 0x90}), "copies from outside the ROM"},
        {patch(4, {0x80, 0x8B, 0x82}), "not yet written"},
        {patch(4, {0x84, 'x'}), "cut off"},
        {patch(4, {0x88}), "make 3 bytes, not the 4"},
        {patch(4, {0x85, 'A', 'B'}), "make 2 bytes"},
        {patch(4, {0x8D, 'A', 'B', 'C', 'E'}), "CRC32 is"},
    };
    for (const auto& [bytes, message] : cases) {
        const PatchResult result = applyBpsPatch(source, bytes);
        if (message.empty()) {
            EXPECT_TRUE(result.ok()) << result.error;
            continue;
        }
        EXPECT_FALSE(result.ok());
        EXPECT_NE(result.error.find(message), std::string::npos) << result.error;
    }
    // Another ROM: both sizes and CRC-32s are named.
    const PatchResult foreign = applyBpsPatch(bytesOf("ABCDEFGHI"), patch(4, {0x8C}));
    EXPECT_EQ(foreign.error, "this patch is for a ROM of 8 bytes with CRC32 " +
                                 std::string("68DCB61C") + "; ROM has 9 bytes, CRC32 " + "C96B9640");
}

// Applying BPS patches. Every number and every action is checked against the
// files before it is used: a patch is applied whole or refused with a message.
#include "patch/bps.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr std::string_view kMagic = "BPS1";
constexpr std::size_t kTrailer = 12; // three CRC-32s
enum Action { SourceRead, TargetRead, SourceCopy, TargetCopy };

std::string crcText(std::uint32_t crc)
{
    char text[12];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(crc));
    return text;
}

std::uint32_t readLittle32(const std::uint8_t* at)
{
    return std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8 | std::uint32_t{at[2]} << 16 |
           std::uint32_t{at[3]} << 24;
}

class BpsReader {
public:
    BpsReader(ByteView patch, std::size_t end) : patch_(patch), end_(end) {}

    // A number of at most nine bytes, which a 64-bit value holds; longer
    // ones mean no real file.
    std::optional<std::uint64_t> number()
    {
        std::uint64_t value = 0;
        std::uint64_t shift = 1;
        for (int i = 0; i < 9; ++i) {
            if (at_ >= end_)
                return std::nullopt;
            const std::uint8_t byte = patch_[at_++];
            value += (byte & 0x7Fu) * shift;
            if (byte & 0x80)
                return value;
            shift <<= 7;
            value += shift;
        }
        return std::nullopt;
    }
    // A signed offset: the sign in the lowest bit.
    std::optional<std::int64_t> offset()
    {
        const std::optional<std::uint64_t> raw = number();
        // Offsets past any file are refused before they can overflow a sum.
        if (!raw || *raw >> 1 > kLargestPatchedSize)
            return std::nullopt;
        const auto magnitude = static_cast<std::int64_t>(*raw >> 1);
        return (*raw & 1) ? -magnitude : magnitude;
    }
    const std::uint8_t* bytes(std::uint64_t count)
    {
        if (count > end_ - at_)
            return nullptr;
        const std::uint8_t* start = patch_.data() + at_;
        at_ += static_cast<std::size_t>(count);
        return start;
    }
    std::size_t position() const { return at_; }
    void skip(std::size_t count) { at_ += count; }

private:
    ByteView patch_;
    std::size_t end_; // where the actions end and the CRC-32s begin
    std::size_t at_ = 0;
};

// The target as the actions write it: grown as they need, never past the size
// the header announced, so that size is not trusted for the memory it asks.
class TargetBuffer {
public:
    TargetBuffer(std::size_t announced, std::size_t likely) : announced_(announced)
    {
        reserve(std::min(announced, likely));
    }
    // Room for `count` more bytes; null when they would pass the announced size.
    std::uint8_t* extend(std::uint64_t count)
    {
        if (count > announced_ - size_)
            return nullptr;
        const std::size_t needed = size_ + static_cast<std::size_t>(count);
        if (needed > bytes_.capacity())
            reserve(std::min(announced_, std::max(needed, bytes_.capacity() * 2)));
        bytes_.resize(needed); // RomBytes leaves new bytes unwritten
        std::uint8_t* start = bytes_.data() + size_;
        size_ = needed;
        return start;
    }
    std::size_t size() const { return size_; }
    std::uint8_t* data() { return bytes_.data(); }
    RomBytes take() { return std::move(bytes_); }

private:
    void reserve(std::size_t capacity)
    {
        bytes_.reserve(capacity);
#if defined(MADV_HUGEPAGE)
        // Faulting a large result in page by page costs more than building
        // it; the allocator starts such blocks on a huge page boundary.
        if (capacity >= RomAllocator<std::uint8_t>::kLargeBlock)
            madvise(bytes_.data(), capacity, MADV_HUGEPAGE);
#endif
    }

    std::size_t announced_;
    std::size_t size_ = 0;
    RomBytes bytes_;
};

PatchResult failure(std::string message) { return patchFailure(std::move(message)); }

} // namespace

void appendBpsNumber(RomBytes& out, std::uint64_t value)
{
    while (true) {
        const auto low = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
        if (value == 0) {
            out.push_back(0x80 | low);
            return;
        }
        out.push_back(low);
        --value;
    }
}

PatchResult applyBpsPatch(ByteView rom, ByteView patch)
{
    if (patch.size() < kMagic.size() || !std::equal(kMagic.begin(), kMagic.end(), patch.begin()))
        return failure("not a BPS patch: it does not start with \"BPS1\"");
    if (patch.size() < kMagic.size() + 3 + kTrailer)
        return failure("the patch is cut off: " + std::to_string(patch.size()) + " bytes are too few for a BPS patch");
    const std::size_t actionsEnd = patch.size() - kTrailer;
    BpsReader reader(patch, actionsEnd);
    reader.skip(kMagic.size());
    const std::optional<std::uint64_t> sourceSize = reader.number();
    const std::optional<std::uint64_t> targetSize = reader.number();
    const std::optional<std::uint64_t> metadataSize = reader.number();
    if (!sourceSize || !targetSize || !metadataSize)
        return failure("the patch is cut off or damaged in its header");
    if (*targetSize > kLargestPatchedSize)
        return failure("the patch announces a result of " + std::to_string(*targetSize) +
                       " bytes, more than a ROM image can hold (2 GiB)");
    if (!reader.bytes(*metadataSize))
        return failure("the patch is cut off in its metadata");

    const std::uint32_t sourceCrc = readLittle32(patch.data() + actionsEnd);
    const std::uint32_t targetCrc = readLittle32(patch.data() + actionsEnd + 4);
    const std::uint32_t patchCrc = readLittle32(patch.data() + actionsEnd + 8);
    if (crc32Of(patch.first(patch.size() - 4)) != patchCrc)
        return failure("the patch is damaged: its CRC-32 does not match its bytes");
    const std::uint32_t romCrc = crc32Of(rom);
    if (rom.size() != *sourceSize || romCrc != sourceCrc) {
        PatchResult other = failure("this patch is for a ROM of " + std::to_string(*sourceSize) +
                                    " bytes with CRC32 " + crcText(sourceCrc) + "; ROM has " +
                                    std::to_string(rom.size()) + " bytes, CRC32 " + crcText(romCrc));
        other.otherRom = OtherRom{*sourceSize, sourceCrc, rom.size(), romCrc};
        return other;
    }

    const auto targetEnd = static_cast<std::size_t>(*targetSize);
    TargetBuffer target(targetEnd, rom.size() + patch.size());
    std::int64_t sourceOffset = 0; // where the next SourceCopy reads, before its own offset
    std::int64_t targetOffset = 0;
    const auto damaged = [&](const char* what) {
        return failure("the patch is damaged: " + std::string(what) + " at byte " +
                       std::to_string(reader.position()));
    };
    while (reader.position() < actionsEnd) {
        const std::optional<std::uint64_t> command = reader.number();
        if (!command)
            return damaged("an action is cut off or out of range");
        const std::uint64_t length = (*command >> 2) + 1;
        const std::size_t outputAt = target.size();
        std::uint8_t* out = target.extend(length);
        if (!out)
            return damaged("an action writes past the announced end of the result");
        switch (*command & 3) {
        case SourceRead:
            if (outputAt + length > rom.size())
                return damaged("an action reads past the end of the ROM");
            std::memcpy(out, rom.data() + outputAt, length);
            break;
        case TargetRead: {
            const std::uint8_t* bytes = reader.bytes(length);
            if (!bytes)
                return damaged("an action's bytes are cut off");
            std::memcpy(out, bytes, length);
            break;
        }
        case SourceCopy: {
            const std::optional<std::int64_t> offset = reader.offset();
            if (!offset)
                return damaged("an action is cut off or out of range");
            sourceOffset += *offset;
            if (sourceOffset < 0 || static_cast<std::uint64_t>(sourceOffset) > rom.size() ||
                length > rom.size() - static_cast<std::uint64_t>(sourceOffset))
                return damaged("an action copies from outside the ROM");
            std::memcpy(out, rom.data() + sourceOffset, length);
            sourceOffset += static_cast<std::int64_t>(length);
            break;
        }
        case TargetCopy: {
            const std::optional<std::int64_t> offset = reader.offset();
            if (!offset)
                return damaged("an action is cut off or out of range");
            targetOffset += *offset;
            if (targetOffset < 0 || static_cast<std::uint64_t>(targetOffset) >= outputAt)
                return damaged("an action copies from a part of the result not yet written");
            // A copy that overlaps what it writes repeats the bytes between its
            // two ends; each piece doubles what the next may copy at once.
            const auto from = static_cast<std::size_t>(targetOffset);
            std::uint8_t* base = target.data();
            for (std::size_t done = 0; done < length;) {
                const std::size_t piece = std::min<std::size_t>(length - done, outputAt + done - from);
                std::memcpy(base + outputAt + done, base + from, piece);
                done += piece;
            }
            targetOffset += static_cast<std::int64_t>(length);
            break;
        }
        }
    }
    if (target.size() != targetEnd)
        return failure("the patch is damaged: its actions make " + std::to_string(target.size()) +
                       " bytes, not the " + std::to_string(targetEnd) + " its header announces");
    RomBytes result = target.take();
    if (crc32Of(result) != targetCrc)
        return failure("the patched ROM's CRC32 is " + crcText(crc32Of(result)) + ", not the " +
                       crcText(targetCrc) + " the patch expects");
    return patchMade(std::move(result));
}

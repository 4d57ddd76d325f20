#include "patch/ips.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::size_t kEofOffset = 0x454F46; // "EOF" read as an offset
constexpr std::size_t kLargestOffset = 0xFFFFFF;
constexpr std::size_t kLargestRecord = 0xFFFF;
constexpr std::size_t kRecordHeader = 5;  // offset and size
constexpr std::size_t kRunRecordSize = 8; // offset, 0, count, value
constexpr std::string_view kMagic = "PATCH";
constexpr std::string_view kEnd = "EOF";

std::string hex(std::size_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%06zX", value);
    return text;
}

std::string tooFarMessage(std::size_t offset)
{
    return "the files differ at offset " + hex(offset) +
           ", past the 16 MiB that IPS offsets reach: make a BPS patch instead";
}

class IpsWriter {
public:
    explicit IpsWriter(ByteView target) : target_(target) { put(kMagic); }

    // A record of the target's bytes [from, to); none may start at the
    // offset that reads as "EOF", so such a record starts a byte earlier.
    void literal(std::size_t from, std::size_t to)
    {
        while (from < to && error_.empty()) {
            const std::size_t start = from == kEofOffset ? from - 1 : from;
            if (start > kLargestOffset) {
                error_ = tooFarMessage(start);
                return;
            }
            const std::size_t length = std::min(kLargestRecord, to - start);
            putNumber(start, 3);
            putNumber(length, 2);
            out_.insert(out_.end(), target_.begin() + static_cast<std::ptrdiff_t>(start),
                        target_.begin() + static_cast<std::ptrdiff_t>(start + length));
            from = start + length;
        }
    }

    void run(std::size_t from, std::size_t length, std::uint8_t value)
    {
        while (length > 0 && error_.empty()) {
            if (from == kEofOffset) {
                literal(from, from + 1);
                ++from;
                --length;
                continue;
            }
            if (from > kLargestOffset) {
                error_ = tooFarMessage(from);
                return;
            }
            const std::size_t count = std::min(length, kLargestRecord);
            putNumber(from, 3);
            putNumber(0, 2);
            putNumber(count, 2);
            out_.push_back(value);
            from += count;
            length -= count;
        }
    }

    // Changed bytes [from, to): runs of one value where a run record is
    // shorter than the bytes themselves, plain records around them.
    void range(std::size_t from, std::size_t to)
    {
        std::size_t plainFrom = from;
        for (std::size_t i = from; i < to;) {
            std::size_t j = i + 1;
            while (j < to && target_[j] == target_[i])
                ++j;
            // Inside a plain stretch a run also costs the header of the record after it.
            const bool atEdge = i == plainFrom || j == to;
            if (j - i > kRunRecordSize + (atEdge ? 0 : kRecordHeader)) {
                literal(plainFrom, i);
                run(i, j - i, target_[i]);
                plainFrom = j;
            }
            i = j;
        }
        literal(plainFrom, to);
    }

    PatchResult finish(std::optional<std::size_t> truncateTo)
    {
        put(kEnd);
        if (truncateTo) {
            if (*truncateTo > kLargestOffset)
                error_ = "the modified file is shorter, but its size of " + std::to_string(*truncateTo) +
                         " bytes is past the 16 MiB an IPS patch can cut a file to: make a BPS patch instead";
            putNumber(*truncateTo, 3);
        }
        if (!error_.empty())
            return patchFailure(error_);
        return patchMade(std::move(out_));
    }

private:
    void put(std::string_view text) { out_.insert(out_.end(), text.begin(), text.end()); }
    void putNumber(std::size_t value, int bytes)
    {
        for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
            out_.push_back(static_cast<std::uint8_t>(value >> shift));
    }

    ByteView target_;
    RomBytes out_;
    std::string error_;
};

// Reads one record after another, each checked against the patch's end.
class IpsReader {
public:
    struct Record {
        std::size_t offset = 0;
        std::size_t length = 0;
        const std::uint8_t* bytes = nullptr; // null for a run
        std::uint8_t value = 0;
    };

    explicit IpsReader(ByteView patch) : patch_(patch), at_(kMagic.size()) {}

    // The next record; none at "EOF" or on an error.
    std::optional<Record> next()
    {
        if (!need(3, "a record's offset or the \"EOF\" mark"))
            return std::nullopt;
        if (std::equal(kEnd.begin(), kEnd.end(), patch_.begin() + static_cast<std::ptrdiff_t>(at_))) {
            at_ += 3;
            ended_ = true;
            return std::nullopt;
        }
        Record record;
        record.offset = number(3);
        if (!need(2, "a record's size"))
            return std::nullopt;
        const std::size_t size = number(2);
        if (size == 0) {
            if (!need(3, "a run record's count and value"))
                return std::nullopt;
            record.length = number(2);
            record.value = patch_[at_++];
            return record;
        }
        if (!need(size, "a record's bytes"))
            return std::nullopt;
        record.length = size;
        record.bytes = patch_.data() + at_;
        at_ += size;
        return record;
    }

    bool ended() const { return ended_; }
    const std::string& error() const { return error_; }
    std::size_t position() const { return at_; }

private:
    bool need(std::size_t count, const char* what)
    {
        if (patch_.size() - at_ >= count)
            return true;
        error_ = "the patch is cut off at byte " + std::to_string(patch_.size()) + ", in " + what +
                 " (no \"EOF\" mark before it)";
        return false;
    }
    std::size_t number(int bytes)
    {
        std::size_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value = value << 8 | patch_[at_++];
        return value;
    }

    ByteView patch_;
    std::size_t at_;
    bool ended_ = false;
    std::string error_;
};

} // namespace

PatchResult makeIpsPatch(ByteView original, ByteView modified)
{
    IpsWriter writer(modified);
    const std::size_t common = std::min(original.size(), modified.size());
    // Past the original's end every byte of the modified file is new.
    const auto differs = [&](std::size_t i) { return i >= common || original[i] != modified[i]; };
    std::size_t rangeFrom = 0;
    std::size_t rangeTo = 0;
    bool inRange = false;
    for (std::size_t i = 0; i < modified.size();) {
        if (!differs(i)) {
            i = static_cast<std::size_t>(
                std::mismatch(modified.begin() + static_cast<std::ptrdiff_t>(i),
                              modified.begin() + static_cast<std::ptrdiff_t>(common),
                              original.begin() + static_cast<std::ptrdiff_t>(i))
                    .first -
                modified.begin());
            continue;
        }
        std::size_t end = i + 1;
        while (end < modified.size() && differs(end))
            ++end;
        // Unchanged bytes between two changes cost less inside one record
        // than the header of a second one.
        if (inRange && i - rangeTo < kRecordHeader) {
            rangeTo = end;
        } else {
            if (inRange)
                writer.range(rangeFrom, rangeTo);
            rangeFrom = i;
            rangeTo = end;
            inRange = true;
        }
        i = end;
    }
    if (inRange)
        writer.range(rangeFrom, rangeTo);
    std::optional<std::size_t> truncateTo;
    if (modified.size() < original.size())
        truncateTo = modified.size();
    return writer.finish(truncateTo);
}

PatchResult applyIpsPatch(ByteView rom, ByteView patch)
{
    if (patch.size() < kMagic.size() || !std::equal(kMagic.begin(), kMagic.end(), patch.begin()))
        return patchFailure("not an IPS patch: it does not start with \"PATCH\"");
    // First every record is read and checked, so a bad patch changes nothing.
    std::size_t size = rom.size();
    IpsReader check(patch);
    while (const std::optional<IpsReader::Record> record = check.next())
        size = std::max(size, record->offset + record->length);
    if (!check.ended())
        return patchFailure(check.error());
    std::optional<std::size_t> truncateTo;
    const std::size_t tail = patch.size() - check.position();
    if (tail == 3) {
        truncateTo = std::size_t{patch[patch.size() - 3]} << 16 | std::size_t{patch[patch.size() - 2]} << 8 |
                     patch[patch.size() - 1];
        if (*truncateTo > size)
            return patchFailure("the patch cuts the file to " + std::to_string(*truncateTo) +
                            " bytes, more than the " + std::to_string(size) + " bytes it has");
    } else if (tail != 0) {
        return patchFailure("the patch has " + std::to_string(tail) +
                        " bytes after its \"EOF\" mark, where only a 3-byte length may follow");
    }

    PatchResult result;
    result.bytes.resize(size);
    std::copy(rom.begin(), rom.end(), result.bytes.begin());
    // A record past the end grows the file; bytes no record writes are zero.
    std::fill(result.bytes.begin() + static_cast<std::ptrdiff_t>(rom.size()), result.bytes.end(), 0);
    IpsReader apply(patch);
    while (const std::optional<IpsReader::Record> record = apply.next()) {
        std::uint8_t* to = result.bytes.data() + record->offset;
        if (record->bytes)
            std::copy(record->bytes, record->bytes + record->length, to);
        else
            std::fill(to, to + record->length, record->value);
    }
    if (truncateTo)
        result.bytes.resize(*truncateTo);
    return result;
}

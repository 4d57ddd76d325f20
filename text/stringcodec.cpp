#include "text/stringcodec.h"

#include <algorithm>
#include <cstring>
#include "text/utf8.h"

#include <bit>
#include <cstring>
#include <functional>

namespace {
constexpr std::size_t kShortText = 8;

std::uint64_t lowBytes(std::string_view text)
{
    std::uint64_t value = 0;
    if (text.size() >= kShortText)
        std::memcpy(&value, text.data(), kShortText); // the usual case, one load
    else
        std::memcpy(&value, text.data(), text.size());
    return value;
}

std::uint64_t lowMask(std::size_t length)
{
    return length >= kShortText ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * length)) - 1;
}

std::size_t shortHash(std::uint64_t bytes, std::uint8_t length, int shift)
{
    return static_cast<std::size_t>(((bytes ^ length) * 0x9E3779B97F4A7C15ull) >> shift);
}

std::uint64_t packedKey(std::span<const std::uint8_t> bytes)
{
    std::uint64_t key = static_cast<std::uint64_t>(bytes.size()) << 32;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        key |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    return key;
}
} // namespace

bool EntryMatcher::addShortText(std::string_view text, ByteCode code)
{
    const auto length = static_cast<std::uint8_t>(text.size());
    const std::uint64_t bytes = lowBytes(text);
    const std::size_t mask = shortTexts_.size() - 1;
    for (std::size_t i = shortHash(bytes, length, shortShift_);; i = (i + 1) & mask) {
        ShortSlot& slot = shortTexts_[i];
        if (slot.length == 0) {
            slot = {bytes, length, code};
            return true;
        }
        if (slot.length == length && slot.bytes == bytes)
            return false; // the first code with this text stays
    }
}

const EntryMatcher::ShortSlot* EntryMatcher::findShortText(std::uint64_t bytes, std::uint8_t length) const
{
    if (shortTexts_.empty())
        return nullptr;
    const std::size_t mask = shortTexts_.size() - 1;
    for (std::size_t i = shortHash(bytes, length, shortShift_);; i = (i + 1) & mask) {
        const ShortSlot& slot = shortTexts_[i];
        if (slot.length == 0)
            return nullptr;
        if (slot.length == length && slot.bytes == bytes)
            return &slot;
    }
}

EntryMatcher::EntryMatcher(const TableEntries& entries, std::uint8_t longestEntryLength,
                           std::span<const SequenceEntry> sequences)
    : entries_(entries), sequences_(sequences.begin(), sequences.end())
{
    std::size_t slots = 16;
    while (slots < 2 * (entries_.size() + sequences_.size()))
        slots *= 2;
    shortTexts_.resize(slots);
    shortShift_ = 64 - std::countr_zero(slots);
    std::sort(sequences_.begin(), sequences_.end(),
              [](const SequenceEntry& a, const SequenceEntry& b) { return a.code < b.code; });
    // Texts in the order that breaks ties: one-byte codes ascending, then longer ones.
    const auto addText = [&](const std::string& text, ByteCode code) {
        if (text.empty())
            return;
        const Utf8Character first = utf8CharacterAt(text, 0);
        if (first.length == text.size())
            singleCharacter_.try_emplace(first.value, code);
        if (utf8CharacterCount(text) > longestEntryLength)
            return;
        // A later code with the same text can never be the first to match.
        const bool added = text.size() <= kShortText ? addShortText(text, code) : byText_.try_emplace(text, code).second;
        if (!added)
            return;
        std::vector<std::uint16_t>& lengths = lengthsByFirstByte_[static_cast<unsigned char>(text[0])];
        const auto length = static_cast<std::uint16_t>(text.size());
        const auto at = std::lower_bound(lengths.begin(), lengths.end(), length, std::greater<>());
        if (at == lengths.end() || *at != length)
            lengths.insert(at, length);
    };
    for (std::size_t code = 0; code < entries_.size(); ++code)
        addText(entries_[code], static_cast<std::uint8_t>(code));
    for (std::size_t i = 0; i < sequences_.size(); ++i) {
        const SequenceEntry& entry = sequences_[i];
        addText(entry.text, entry.code);
        if (entry.code.size < 2)
            continue;
        sequenceLengths_[entry.code.bytes[0]] |= static_cast<std::uint8_t>(1u << entry.code.size);
        if (entry.code.size == 2) {
            if (twoByte_.empty())
                twoByte_.assign(65536, -1);
            twoByte_[entry.code.bytes[0] << 8 | entry.code.bytes[1]] = static_cast<std::int32_t>(i);
        } else {
            longer_[packedKey(entry.code.view())] = static_cast<std::int32_t>(i);
        }
    }
}

std::optional<TextMatch> EntryMatcher::matchAt(std::string_view text, std::size_t offset) const
{
    if (offset >= text.size())
        return std::nullopt;
    const std::size_t left = text.size() - offset;
    const std::uint64_t bytes = lowBytes(text.substr(offset));
    for (const std::uint16_t length : lengthsByFirstByte_[static_cast<unsigned char>(text[offset])]) {
        if (length > left)
            continue;
        if (length <= kShortText) {
            if (const ShortSlot* slot = findShortText(bytes & lowMask(length), static_cast<std::uint8_t>(length)))
                return TextMatch{slot->code, length};
            continue;
        }
        const auto found = byText_.find(text.substr(offset, length));
        if (found != byText_.end())
            return TextMatch{found->second, length};
    }
    return std::nullopt;
}

std::optional<ByteCode> EntryMatcher::match(std::string_view text, std::size_t offset) const
{
    if (const std::optional<TextMatch> found = matchAt(text, offset))
        return found->code;
    return std::nullopt;
}

std::optional<ByteCode> EntryMatcher::singleCharacterCode(char32_t ch) const
{
    const auto found = singleCharacter_.find(ch);
    if (found == singleCharacter_.end())
        return std::nullopt;
    return found->second;
}

ImageMatch EntryMatcher::decodeAt(std::span<const std::uint8_t> bytes, std::size_t offset) const
{
    const std::uint8_t first = bytes[offset];
    const std::uint8_t lengths = sequenceLengths_[first];
    const std::size_t left = bytes.size() - offset;
    for (std::size_t length = kLongestCode; lengths != 0 && length >= 2; --length) {
        if (!(lengths & (1u << length)) || length > left)
            continue;
        const std::span<const std::uint8_t> candidate = bytes.subspan(offset, length);
        std::int32_t index = -1;
        if (length == 2) {
            index = twoByte_[first << 8 | candidate[1]];
        } else if (const auto found = longer_.find(packedKey(candidate)); found != longer_.end()) {
            index = found->second;
        }
        if (index >= 0) {
            const SequenceEntry& entry = sequences_[static_cast<std::size_t>(index)];
            return {entry.code, &entry.text};
        }
    }
    return {ByteCode(first), &entries_[first]};
}

std::string decodeBytes(const EntryMatcher& table, std::span<const std::uint8_t> bytes)
{
    std::string text;
    text.reserve(bytes.size() * 2);
    for (std::size_t offset = 0; offset < bytes.size();) {
        const ImageMatch code = table.decodeAt(bytes, offset);
        text += *code.text;
        offset += code.code.size;
    }
    return text;
}

std::string decodeBytes(const TableEntries& entries, std::span<const std::uint8_t> bytes)
{
    std::string text;
    for (std::uint8_t byte : bytes)
        text += entries[byte];
    return text;
}

namespace {
void appendCode(std::vector<std::uint8_t>& out, ByteCode code)
{
    for (std::size_t i = 0; i < code.size; ++i)
        out.push_back(code.bytes[i]);
}

// Repeated longest match with unmatched characters dropped; appends to `out`
// when given. Returns the number of codes.
std::size_t encodeInto(const EntryMatcher& matcher, std::string_view text, std::size_t limit,
                       std::vector<std::uint8_t>* out)
{
    std::size_t count = 0;
    std::size_t offset = 0;
    while (offset < text.size() && count < limit) {
        const std::optional<TextMatch> found = matcher.matchAt(text, offset);
        if (!found) {
            offset += utf8CharacterAt(text, offset).length;
            continue;
        }
        if (out)
            appendCode(*out, found->code);
        ++count;
        // A match is never empty, so the offset always moves on.
        offset += found->textLength;
    }
    return count;
}
} // namespace

std::vector<std::uint8_t> encodeString(const EntryMatcher& matcher, std::string_view text, std::size_t limit)
{
    std::vector<std::uint8_t> codes;
    codes.reserve(std::min(text.size(), limit));
    encodeInto(matcher, text, limit, &codes);
    return codes;
}

std::size_t encodedLength(const EntryMatcher& matcher, std::string_view text)
{
    return encodeInto(matcher, text, kNoCodeLimit, nullptr);
}

StrictEncodeResult encodeStrict(const EntryMatcher& matcher, std::string_view text)
{
    StrictEncodeResult result;
    std::size_t offset = 0;
    while (offset < text.size()) {
        const std::optional<TextMatch> found = matcher.matchAt(text, offset);
        if (!found) {
            result.unmatchedOffset = offset;
            break;
        }
        appendCode(result.codes, found->code);
        result.lastCode = found->code;
        offset += found->textLength;
    }
    return result;
}

std::vector<std::optional<ByteCode>> encodeCharacters(const EntryMatcher& matcher, std::string_view text,
                                                      std::size_t limit)
{
    std::vector<std::optional<ByteCode>> codes;
    for (std::size_t offset = 0; offset < text.size() && codes.size() < limit;) {
        const Utf8Character ch = utf8CharacterAt(text, offset);
        codes.push_back(matcher.singleCharacterCode(ch.value));
        offset += ch.length;
    }
    return codes;
}

UnmatchedCharacter unmatchedAt(std::string_view text, std::size_t offset, std::size_t line)
{
    const Utf8Character ch = utf8CharacterAt(text, offset);
    return {line, utf8CharacterCount(text.substr(0, offset)) + 1, std::string(text.substr(offset, ch.length))};
}

ByteRange rangeInImage(std::int64_t start, std::int64_t length, std::size_t imageSize)
{
    const auto size = static_cast<std::int64_t>(imageSize);
    if (start < 0 || start >= size || length <= 0)
        return {};
    return {static_cast<std::size_t>(start), static_cast<std::size_t>(std::min(length, size - start))};
}

InsertResult insertString(std::span<std::uint8_t> image, std::int64_t start, std::int32_t maxLength,
                          const EntryMatcher& matcher, std::string_view text, bool characterOriented)
{
    const ByteRange range = rangeInImage(start, maxLength, image.size());
    InsertResult result;
    // The whole text is checked, also past the limit: what the user typed
    // is refused or taken, never silently shortened by what it lost.
    std::vector<std::uint8_t> bytes;
    if (characterOriented) {
        const std::vector<std::optional<ByteCode>> codes = encodeCharacters(matcher, text);
        const auto missing = std::find(codes.begin(), codes.end(), std::nullopt);
        if (missing != codes.end()) {
            std::size_t offset = 0;
            for (auto it = codes.begin(); it != missing; ++it)
                offset += utf8CharacterAt(text, offset).length;
            result.unmatchedOffset = offset;
            return result;
        }
        for (const std::optional<ByteCode>& code : codes) {
            if (bytes.size() + code->size > range.length)
                break; // whole codes only
            appendCode(bytes, *code);
        }
    } else {
        const StrictEncodeResult encoded = encodeStrict(matcher, text);
        if (!encoded.ok()) {
            result.unmatchedOffset = encoded.unmatchedOffset;
            return result;
        }
        // Whole codes only: walk the codes again to cut at a code boundary.
        std::size_t offset = 0;
        while (offset < text.size()) {
            const TextMatch found = *matcher.matchAt(text, offset);
            if (bytes.size() + found.code.size > range.length)
                break;
            appendCode(bytes, found.code);
            offset += found.textLength;
        }
    }
    result.covered = bytes.size();
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(range.offset));
    return result;
}

std::string unmatchedCharacterMessage(const UnmatchedCharacter& where, std::string_view shownCharacter)
{
    std::string text = "no table entry matches the character '" + std::string(shownCharacter) + "' at position " +
                       std::to_string(where.position);
    if (where.line > 0)
        text += " of line " + std::to_string(where.line);
    return text;
}

std::string extractString(std::span<const std::uint8_t> image, std::int64_t start, std::int32_t maxLength,
                          const TableEntries& entries)
{
    const ByteRange range = rangeInImage(start, maxLength, image.size());
    return decodeBytes(entries, image.subspan(range.offset, range.length));
}

std::string extractString(std::span<const std::uint8_t> image, std::int64_t start, std::int32_t maxLength,
                          const EntryMatcher& table)
{
    const ByteRange range = rangeInImage(start, maxLength, image.size());
    return decodeBytes(table, image.subspan(range.offset, range.length));
}

#include "text/stringcodec.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

EntryMatcher::EntryMatcher(const TableEntries& entries, std::uint8_t longestEntryLength) : entries_(entries)
{
    singleCharacter_.fill(-1);
    std::unordered_set<std::string_view> seen;
    for (std::size_t code = 0; code < entries_.size(); ++code) {
        const std::string& entry = entries_[code];
        if (entry.size() == 1 && singleCharacter_[static_cast<unsigned char>(entry[0])] < 0)
            singleCharacter_[static_cast<unsigned char>(entry[0])] = static_cast<std::int16_t>(code);
        if (entry.empty() || entry.size() > longestEntryLength)
            continue;
        // A later code with the same text can never be the first to match.
        if (!seen.insert(entry).second)
            continue;
        byFirstCharacter_[static_cast<unsigned char>(entry[0])].push_back(
            {static_cast<std::uint8_t>(code), static_cast<std::uint8_t>(entry.size())});
    }
    for (std::vector<Candidate>& candidates : byFirstCharacter_)
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const Candidate& a, const Candidate& b) { return a.length > b.length; });
}

std::optional<std::uint8_t> EntryMatcher::match(std::string_view text, std::size_t offset) const
{
    if (offset >= text.size())
        return std::nullopt;
    const char* rest = text.data() + offset;
    const std::size_t left = text.size() - offset;
    for (const Candidate& candidate : byFirstCharacter_[static_cast<unsigned char>(*rest)])
        if (candidate.length <= left && std::memcmp(entries_[candidate.code].data(), rest, candidate.length) == 0)
            return candidate.code;
    return std::nullopt;
}

std::optional<std::uint8_t> EntryMatcher::singleCharacterCode(unsigned char ch) const
{
    if (singleCharacter_[ch] < 0)
        return std::nullopt;
    return static_cast<std::uint8_t>(singleCharacter_[ch]);
}

std::string decodeBytes(const TableEntries& entries, std::span<const std::uint8_t> bytes)
{
    std::string text;
    for (std::uint8_t byte : bytes)
        text += entries[byte];
    return text;
}

namespace {
// Repeated longest match with unmatched characters dropped; appends to `out`
// when given. Returns the number of codes.
std::size_t encodeInto(const EntryMatcher& matcher, std::string_view text, std::size_t limit,
                       std::vector<std::uint8_t>* out)
{
    std::size_t count = 0;
    std::size_t offset = 0;
    while (offset < text.size() && count < limit) {
        const std::optional<std::uint8_t> code = matcher.match(text, offset);
        if (!code) {
            ++offset;
            continue;
        }
        if (out)
            out->push_back(*code);
        ++count;
        // A match is never empty, so the offset always moves on.
        offset += matcher.entry(*code).size();
    }
    return count;
}
} // namespace

std::vector<std::uint8_t> encodeString(const EntryMatcher& matcher, std::string_view text, std::size_t limit)
{
    std::vector<std::uint8_t> codes;
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
        const std::optional<std::uint8_t> code = matcher.match(text, offset);
        if (!code) {
            result.unmatchedOffset = offset;
            break;
        }
        result.codes.push_back(*code);
        offset += matcher.entry(*code).size();
    }
    return result;
}

std::vector<std::optional<std::uint8_t>> encodeCharacters(const EntryMatcher& matcher, std::string_view text,
                                                          std::size_t limit)
{
    std::vector<std::optional<std::uint8_t>> codes;
    const std::size_t count = std::min(limit, text.size());
    codes.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        codes.push_back(matcher.singleCharacterCode(static_cast<unsigned char>(text[i])));
    return codes;
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
    if (characterOriented) {
        const std::vector<std::optional<std::uint8_t>> codes = encodeCharacters(matcher, text);
        const auto missing = std::find(codes.begin(), codes.end(), std::nullopt);
        if (missing != codes.end()) {
            result.unmatchedOffset = static_cast<std::size_t>(missing - codes.begin());
            return result;
        }
        result.covered = std::min(codes.size(), range.length);
        for (std::size_t i = 0; i < result.covered; ++i)
            image[range.offset + i] = *codes[i];
        return result;
    }
    const StrictEncodeResult encoded = encodeStrict(matcher, text);
    if (!encoded.ok()) {
        result.unmatchedOffset = encoded.unmatchedOffset;
        return result;
    }
    result.covered = std::min(encoded.codes.size(), range.length);
    std::copy_n(encoded.codes.begin(), result.covered, image.begin() + static_cast<std::ptrdiff_t>(range.offset));
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

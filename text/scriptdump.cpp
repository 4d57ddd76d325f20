#include "text/scriptdump.h"

#include "app/numbers.h"
#include "app/textlines.h"

#include <algorithm>

namespace {
constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kEndMarker = "{END}";
} // namespace

ExtractRange scriptExtractRange(std::int32_t start, std::int32_t end, std::size_t imageSize)
{
    ExtractRange range;
    if (end < start) {
        range.endBeforeStart = true;
        return range;
    }
    const std::int64_t first = std::max<std::int64_t>(start, 0);
    const std::int64_t last = std::min<std::int64_t>(end, static_cast<std::int64_t>(imageSize) - 1);
    if (last < first)
        return range;
    range.offset = static_cast<std::size_t>(first);
    range.count = static_cast<std::size_t>(last - first + 1);
    return range;
}

std::string scriptDumpText(const TableEntries& entries, ScriptCodes codes, std::span<const std::uint8_t> bytes)
{
    std::string text;
    text.reserve(bytes.size() * 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint8_t byte = bytes[i];
        const bool last = i + 1 == bytes.size();
        if (byte == codes.lineBreak) {
            text += kCrLf;
            if (last) {
                text += kEndMarker;
                text += kCrLf;
                text += kCrLf;
            }
        } else if (byte == codes.end) {
            text += kEndMarker;
            text += kCrLf;
            text += kCrLf;
        } else {
            text += entries[byte];
            if (last)
                text += kCrLf;
        }
    }
    return text;
}

ScriptEncodeResult encodeScriptLines(const EntryMatcher& matcher, ScriptCodes codes,
                                     const std::vector<std::string_view>& lines, bool endCodeBeforeStart)
{
    ScriptEncodeResult result;
    std::vector<std::uint8_t>& bytes = result.bytes;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string_view line = lines[n];
        const StrictEncodeResult encoded = encodeStrict(matcher, line);
        if (!encoded.ok()) {
            const std::size_t at = *encoded.unmatchedOffset;
            result.unmatched = UnmatchedCharacter{n + 1, at + 1, line[at]};
            bytes.clear();
            return result;
        }
        bytes.insert(bytes.end(), encoded.codes.begin(), encoded.codes.end());
        const bool lastIsEndCode = bytes.empty() ? endCodeBeforeStart : bytes.back() == codes.end;
        // A line that ends a string gets no line break; an empty line after
        // it only stands for the blank line the dump puts there.
        const bool lineBreak = !lastIsEndCode || (line.empty() && (n == 0 || lines[n - 1].empty()));
        if (lineBreak)
            bytes.push_back(codes.lineBreak);
    }
    return result;
}

ReplaceResult replaceScript(std::span<std::uint8_t> image, std::int64_t start, const EntryMatcher& matcher,
                            ScriptCodes codes, std::string_view dumpFile)
{
    const auto size = static_cast<std::int64_t>(image.size());
    const bool startInside = start >= 0 && start < size;
    // The byte before offset 0 is taken as not the end code.
    const bool endCodeBefore = startInside && start > 0 && image[static_cast<std::size_t>(start - 1)] == codes.end;
    const ScriptEncodeResult encoded = encodeScriptLines(matcher, codes, splitTextLines(dumpFile), endCodeBefore);

    ReplaceResult result;
    result.needed = encoded.bytes.size();
    result.available = startInside ? static_cast<std::size_t>(size - start) : 0;
    result.unmatched = encoded.unmatched;
    if (encoded.unmatched || !startInside || result.needed > result.available)
        return result;
    std::copy(encoded.bytes.begin(), encoded.bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(start));
    result.written = true;
    return result;
}

std::string scriptDoesNotFitMessage(std::int64_t start, const ReplaceResult& result)
{
    return "The script needs " + std::to_string(result.needed) + " byte(s) from h" +
           hexText(static_cast<std::uint32_t>(start), 8) + ", but only " + std::to_string(result.available) +
           " byte(s) are left there in the image. Nothing was written.";
}

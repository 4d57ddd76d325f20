#include "text/scriptdump.h"

#include "app/numbers.h"
#include "app/textlines.h"

#include <algorithm>

namespace {
constexpr std::string_view kCrLf = "\r\n";
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

namespace {
// `codeAt(offset)` gives the code at an offset and its text.
template <typename CodeAt>
std::string dumpText(std::size_t size, ScriptCodes codes, std::string_view endText, CodeAt codeAt)
{
    std::string text;
    text.reserve(size * 2);
    for (std::size_t i = 0; i < size;) {
        const auto [code, entry] = codeAt(i);
        i += code.size;
        const bool last = i >= size;
        if (code == codes.lineBreak) {
            text += kCrLf;
            if (last) {
                text += endText;
                text += kCrLf;
                text += kCrLf;
            }
        } else if (code == codes.end) {
            text += endText;
            text += kCrLf;
            text += kCrLf;
        } else {
            text += *entry;
            if (last)
                text += kCrLf;
        }
    }
    return text;
}
} // namespace

std::string scriptDumpText(const TableEntries& entries, ScriptCodes codes, std::span<const std::uint8_t> bytes)
{
    return dumpText(bytes.size(), codes, kEndMarker,
                    [&](std::size_t i) { return std::pair{ByteCode(bytes[i]), &entries[bytes[i]]}; });
}

std::string scriptDumpText(const EntryMatcher& table, ScriptCodes codes, std::span<const std::uint8_t> bytes)
{
    // The end code's own entry is what finish table made of it.
    std::string endText(kEndMarker);
    if (codes.end.size == 1)
        endText = table.entry(codes.end.bytes[0]);
    else if (const auto found = std::find_if(table.sequences().begin(), table.sequences().end(),
                                             [&](const SequenceEntry& e) { return e.code == codes.end; });
             found != table.sequences().end())
        endText = found->text;
    if (endText.empty())
        endText = kEndMarker;
    return dumpText(bytes.size(), codes, endText, [&](std::size_t i) {
        const ImageMatch code = table.decodeAt(bytes, i);
        return std::pair{code.code, code.text};
    });
}

ScriptEncodeResult encodeScriptLines(const EntryMatcher& matcher, ScriptCodes codes,
                                     const std::vector<std::string_view>& lines, bool endCodeBeforeStart)
{
    ScriptEncodeResult result;
    std::vector<std::uint8_t>& bytes = result.bytes;
    std::optional<ByteCode> lastCode; // the last code written so far
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string_view line = lines[n];
        const StrictEncodeResult encoded = encodeStrict(matcher, line);
        if (!encoded.ok()) {
            result.unmatched = unmatchedAt(line, *encoded.unmatchedOffset, n + 1);
            bytes.clear();
            return result;
        }
        bytes.insert(bytes.end(), encoded.codes.begin(), encoded.codes.end());
        if (encoded.lastCode)
            lastCode = encoded.lastCode;
        const bool lastIsEndCode = lastCode ? *lastCode == codes.end : endCodeBeforeStart;
        // A line that ends a string gets no line break; an empty line after
        // it only stands for the blank line the dump puts there.
        const bool lineBreak = !lastIsEndCode || (line.empty() && (n == 0 || lines[n - 1].empty()));
        if (lineBreak) {
            bytes.insert(bytes.end(), codes.lineBreak.view().begin(), codes.lineBreak.view().end());
            lastCode = codes.lineBreak;
        }
    }
    return result;
}

ReplaceResult replaceScript(std::span<std::uint8_t> image, std::int64_t start, const EntryMatcher& matcher,
                            ScriptCodes codes, std::string_view dumpFile)
{
    const auto size = static_cast<std::int64_t>(image.size());
    const bool startInside = start >= 0 && start < size;
    // What lies before offset 0 is taken as not the end code.
    const std::size_t endSize = codes.end.size;
    const bool endCodeBefore =
        startInside && start >= static_cast<std::int64_t>(endSize) &&
        std::equal(codes.end.view().begin(), codes.end.view().end(),
                   image.begin() + static_cast<std::ptrdiff_t>(start - static_cast<std::int64_t>(endSize)));
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

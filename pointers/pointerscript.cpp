#include "pointers/pointerscript.h"

#include "app/numbers.h"
#include "app/textlines.h"

#include <algorithm>
#include <map>

namespace {

constexpr std::string_view kHeader = "#POINTER";
constexpr std::string_view kCrLf = "\r\n";

std::string lineText(std::size_t line) { return "line " + std::to_string(line) + ": "; }

bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }
bool isBlank(char ch) { return ch == ' ' || ch == '\t'; }

// Decimal digits at `at`; more than 18 digits read as "too large".
std::optional<std::uint64_t> takeIndex(std::string_view line, std::size_t& at)
{
    const std::size_t first = at;
    std::uint64_t value = 0;
    while (at < line.size() && isDigit(line[at])) {
        if (at - first < 18)
            value = value * 10 + static_cast<std::uint64_t>(line[at] - '0');
        else
            value = std::numeric_limits<std::uint64_t>::max();
        ++at;
    }
    if (at == first)
        return std::nullopt;
    return value;
}

void skipBlanks(std::string_view line, std::size_t& at)
{
    while (at < line.size() && isBlank(line[at]))
        ++at;
}

struct Header {
    std::uint64_t index = 0;
    std::optional<std::uint64_t> sameAs;
};

// "#POINTER n" or "#POINTER n = m", blanks around the parts allowed.
std::optional<Header> readHeader(std::string_view line)
{
    std::size_t at = kHeader.size();
    if (at >= line.size() || !isBlank(line[at]))
        return std::nullopt;
    skipBlanks(line, at);
    Header header;
    const std::optional<std::uint64_t> index = takeIndex(line, at);
    if (!index)
        return std::nullopt;
    header.index = *index;
    skipBlanks(line, at);
    if (at < line.size() && line[at] == '=') {
        ++at;
        skipBlanks(line, at);
        header.sameAs = takeIndex(line, at);
        if (!header.sameAs)
            return std::nullopt;
        skipBlanks(line, at);
    }
    if (at != line.size())
        return std::nullopt;
    return header;
}

std::string outsideTable(std::uint64_t index, std::size_t entryCount)
{
    const std::string shown = index == std::numeric_limits<std::uint64_t>::max() ? "beyond" : std::to_string(index);
    return "entry " + shown + " is outside the table (entries 0 .. " + std::to_string(entryCount - 1) + ")";
}

// The bytes of the string at `target`: through the first end code, or to the end.

std::string hex8(std::int64_t value)
{
    std::string text = "h";
    text += hexText(static_cast<std::uint32_t>(value), 8);
    return text;
}

std::string checkRanges(const PointerTable& table, std::size_t imageSize, std::vector<FreeRange> ranges)
{
    if (ranges.empty())
        return "no free space was given";
    const std::int64_t tableEnd = table.position + (table.count - 1) * table.step() + table.size;
    for (const FreeRange& r : ranges) {
        const std::string name = "the free space " + hex8(r.from) + "-" + hex8(r.to);
        if (r.from < 0 || r.to < r.from)
            return name + " is not a range from a position to a later one";
        if (r.to >= static_cast<std::int64_t>(imageSize))
            return name + " reaches past the end of the image (" + hex8(static_cast<std::int64_t>(imageSize)) +
                   " bytes)";
        if (r.from < tableEnd && table.position <= r.to)
            return name + " overlaps the pointer table";
    }
    std::sort(ranges.begin(), ranges.end(), [](const FreeRange& a, const FreeRange& b) { return a.from < b.from; });
    for (std::size_t i = 1; i < ranges.size(); ++i)
        if (ranges[i].from <= ranges[i - 1].to)
            return "the free spaces " + hex8(ranges[i - 1].from) + "-" + hex8(ranges[i - 1].to) + " and " +
                   hex8(ranges[i].from) + "-" + hex8(ranges[i].to) + " overlap";
    return {};
}

// A run of free space inside one segment, filled from its start.
struct Piece {
    std::size_t range = 0;
    std::size_t start = 0;
    std::size_t end = 0; // excluded
    std::size_t cursor = 0;
};

std::vector<Piece> cutIntoPieces(const PointerTable& table, std::size_t imageSize,
                                 const std::vector<FreeRange>& ranges)
{
    std::vector<Piece> pieces;
    for (std::size_t r = 0; r < ranges.size(); ++r) {
        std::int64_t at = ranges[r].from;
        while (at <= ranges[r].to) {
            const std::int64_t end = std::min(ranges[r].to + 1, segmentEnd(table, at));
            const auto start = static_cast<std::size_t>(at);
            // A piece whose first byte no entry can reach is of no use at all.
            if (stringPlaceable(table, start, 1, imageSize))
                pieces.push_back({r, start, static_cast<std::size_t>(end), start});
            at = end;
        }
    }
    return pieces;
}

struct EncodedBlocks {
    std::vector<std::vector<std::uint8_t>> strings; // per entry; empty for "= m"
    std::string error;
};

EncodedBlocks encodeBlocks(const PointerScript& script, const EntryMatcher& matcher, ScriptCodes codes)
{
    EncodedBlocks encoded;
    encoded.strings.resize(script.blocks.size());
    for (std::size_t n = 0; n < script.blocks.size(); ++n) {
        const PointerBlock& block = script.blocks[n];
        if (block.sameAs)
            continue;
        for (std::size_t i = 0; i < block.lines.size(); ++i) {
            const StrictEncodeResult strict = encodeStrict(matcher, block.lines[i]);
            if (!strict.ok()) {
                const std::size_t at = *strict.unmatchedOffset;
                encoded.error = lineText(block.lineNumbers[i]) + "no table entry encodes the character '" +
                                quotedForMessage(block.lines[i].substr(at, 1)) + "' at position " +
                                std::to_string(at + 1);
                return encoded;
            }
        }
        encoded.strings[n] = encodeScriptLines(matcher, codes, block.lines, false).bytes;
        if (encoded.strings[n].empty()) {
            encoded.error = lineText(block.line) + "entry " + std::to_string(n) + " has no text";
            return encoded;
        }
    }
    return encoded;
}

} // namespace

std::span<const std::uint8_t> pointerStringAt(std::span<const std::uint8_t> image, std::size_t target,
                                              const ByteCode& end, std::size_t longest)
{
    if (target >= image.size())
        return {};
    const std::span<const std::uint8_t> rest = image.subspan(target, std::min(longest, image.size() - target));
    const auto code = std::search(rest.begin(), rest.end(), end.view().begin(), end.view().end());
    return rest.first(static_cast<std::size_t>(code - rest.begin()) + (code == rest.end() ? 0 : end.size));
}

PointerDump dumpPointerScript(const PointerTable& table, std::span<const std::uint8_t> image,
                              const EntryMatcher& entries, ScriptCodes codes)
{
    PointerDump dump;
    std::map<std::size_t, std::size_t> firstAt; // target -> first entry
    for (const PointerEntry& entry : readPointerTable(table, image)) {
        const std::string name = std::to_string(entry.index);
        if (!entry.target) {
            dump.error = "entry " + name + " at " + hex8(static_cast<std::int64_t>(entry.position)) + " holds h" +
                         hexText(entry.stored, table.size * 2) + ", which maps outside the image";
            dump.text.clear();
            return dump;
        }
        const auto [known, isNew] = firstAt.emplace(*entry.target, entry.index);
        dump.text += std::string(kHeader) + " " + name;
        if (!isNew) {
            dump.text += " = " + std::to_string(known->second);
            dump.text += kCrLf;
            continue;
        }
        dump.text += kCrLf;
        const std::string text = scriptDumpText(entries, codes, pointerStringAt(image, *entry.target, codes.end));
        for (std::string_view line : splitTextLines(text))
            if (line.starts_with(';') || line.starts_with(kHeader))
                dump.warnings.push_back("entry " + name + ": a line of its text begins with '" +
                                        std::string(line.substr(0, line[0] == ';' ? 1 : kHeader.size())) +
                                        "' and will not read back as text");
        dump.text += text;
    }
    return dump;
}

PointerScript readPointerScript(std::string_view text, std::size_t entryCount)
{
    PointerScript script;
    script.blocks.resize(entryCount);
    const std::vector<std::string_view> lines = splitTextLines(text);
    std::optional<std::size_t> current;
    auto fail = [&script](std::size_t line, const std::string& why) {
        script.error = lineText(line) + why;
        script.blocks.clear();
        return script;
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const std::size_t number = i + 1;
        if (line.starts_with(';'))
            continue;
        if (line.starts_with(kHeader)) {
            const std::optional<Header> header = readHeader(line);
            if (!header)
                return fail(number, "expected '#POINTER n' or '#POINTER n = m'");
            if (header->index >= entryCount)
                return fail(number, outsideTable(header->index, entryCount));
            PointerBlock& block = script.blocks[static_cast<std::size_t>(header->index)];
            if (block.present)
                return fail(number, "entry " + std::to_string(header->index) + " already has a block at line " +
                                        std::to_string(block.line));
            if (header->sameAs && *header->sameAs >= entryCount)
                return fail(number, outsideTable(*header->sameAs, entryCount));
            block.present = true;
            block.line = number;
            if (header->sameAs)
                block.sameAs = static_cast<std::size_t>(*header->sameAs);
            current = static_cast<std::size_t>(header->index);
            continue;
        }
        if (!current) {
            if (!line.empty())
                return fail(number, "text before the first #POINTER line");
            continue;
        }
        PointerBlock& block = script.blocks[*current];
        if (block.sameAs) {
            if (!line.empty())
                return fail(number, "'#POINTER " + std::to_string(*current) + " = " +
                                        std::to_string(*block.sameAs) + "' takes no text");
            continue;
        }
        block.lines.push_back(line);
        block.lineNumbers.push_back(number);
    }
    if (!current) {
        script.error = "the script has no #POINTER line";
        script.blocks.clear();
        return script;
    }
    std::size_t missing = 0;
    std::size_t firstMissing = 0;
    for (std::size_t n = 0; n < entryCount; ++n) {
        const PointerBlock& block = script.blocks[n];
        if (!block.present) {
            if (missing++ == 0)
                firstMissing = n;
            continue;
        }
        if (block.sameAs && (*block.sameAs == n || script.blocks[*block.sameAs].sameAs ||
                             !script.blocks[*block.sameAs].present))
            return fail(block.line, "entry " + std::to_string(*block.sameAs) + " has no text of its own");
    }
    if (missing > 0) {
        script.error = "entry " + std::to_string(firstMissing) + " has no block (" + std::to_string(missing) +
                       " of " + std::to_string(entryCount) + " entries have none); every entry needs one";
        script.blocks.clear();
    }
    return script;
}

std::optional<FreeRange> parseFreeRange(std::string_view text)
{
    const std::size_t dash = text.find('-');
    if (dash == std::string_view::npos)
        return std::nullopt;
    const std::optional<std::int32_t> from = parsePositionNumber(text.substr(0, dash));
    const std::optional<std::int32_t> to = parsePositionNumber(text.substr(dash + 1));
    if (!from || !to)
        return std::nullopt;
    return FreeRange{*from, *to};
}

PointerInsertPlan planPointerInsert(const PointerTable& table, std::size_t imageSize, std::string_view scriptText,
                                    const EntryMatcher& matcher, ScriptCodes codes,
                                    const std::vector<FreeRange>& ranges)
{
    PointerInsertPlan plan;
    plan.error = pointerTableProblem(table, imageSize);
    if (plan.error.empty())
        plan.error = checkRanges(table, imageSize, ranges);
    if (!plan.error.empty())
        return plan;
    const PointerScript script = readPointerScript(scriptText, static_cast<std::size_t>(table.count));
    if (!script.error.empty()) {
        plan.error = script.error;
        return plan;
    }
    EncodedBlocks encoded = encodeBlocks(script, matcher, codes);
    if (!encoded.error.empty()) {
        plan.error = encoded.error;
        return plan;
    }

    // Equal strings are stored once; the longest are placed first.
    std::map<std::string, std::size_t> distinct; // the bytes as a key
    std::vector<std::size_t> stringOf(script.blocks.size(), 0);
    std::vector<PlacedString> strings;
    std::vector<std::size_t> firstEntry;
    std::size_t needed = 0;
    for (std::size_t n = 0; n < script.blocks.size(); ++n) {
        if (script.blocks[n].sameAs)
            continue;
        const std::vector<std::uint8_t>& bytes = encoded.strings[n];
        const auto [found, isNew] = distinct.emplace(std::string(bytes.begin(), bytes.end()), strings.size());
        if (isNew) {
            strings.push_back({0, bytes});
            firstEntry.push_back(n);
            needed += bytes.size();
        }
        stringOf[n] = found->second;
    }
    std::vector<std::size_t> order(strings.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&strings](std::size_t a, std::size_t b) {
        return strings[a].bytes.size() > strings[b].bytes.size();
    });

    std::vector<Piece> pieces = cutIntoPieces(table, imageSize, ranges);
    std::size_t free = 0;
    for (const Piece& piece : pieces)
        free += piece.end - piece.start;
    std::size_t firstOpen = 0; // pieces before it have no room for even one byte
    for (std::size_t s : order) {
        const std::size_t length = strings[s].bytes.size();
        bool placed = false;
        while (firstOpen < pieces.size() && pieces[firstOpen].cursor == pieces[firstOpen].end)
            ++firstOpen;
        for (std::size_t p = firstOpen; p < pieces.size() && !placed; ++p) {
            Piece& piece = pieces[p];
            if (piece.end - piece.cursor < length || !stringPlaceable(table, piece.cursor, length, imageSize))
                continue;
            strings[s].offset = piece.cursor;
            piece.cursor += length;
            placed = true;
        }
        if (!placed) {
            plan.error = "the strings need " + std::to_string(needed) + " byte(s), the free space has " +
                         std::to_string(free) + " byte(s) that entries can reach; the string of entry " +
                         std::to_string(firstEntry[s]) + " (" + std::to_string(length) +
                         " bytes) finds no room in one piece";
            return plan;
        }
    }

    plan.targets.resize(script.blocks.size());
    for (std::size_t n = 0; n < script.blocks.size(); ++n)
        if (!script.blocks[n].sameAs)
            plan.targets[n] = strings[stringOf[n]].offset;
    for (std::size_t n = 0; n < script.blocks.size(); ++n)
        if (const auto& sameAs = script.blocks[n].sameAs)
            plan.targets[n] = plan.targets[*sameAs];
    for (const FreeRange& r : ranges)
        plan.ranges.push_back({r, 0, static_cast<std::size_t>(r.to - r.from + 1)});
    for (const Piece& piece : pieces) {
        plan.ranges[piece.range].used += piece.cursor - piece.start;
        plan.ranges[piece.range].left -= piece.cursor - piece.start;
    }
    plan.strings = std::move(strings);
    return plan;
}

void applyPointerInsert(const PointerTable& table, std::span<std::uint8_t> image, const PointerInsertPlan& plan)
{
    if (!plan.error.empty())
        return;
    for (const PlacedString& string : plan.strings)
        std::copy(string.bytes.begin(), string.bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(string.offset));
    for (std::size_t n = 0; n < plan.targets.size(); ++n) {
        const auto position = static_cast<std::size_t>(table.position + static_cast<std::int64_t>(n) * table.step());
        const std::uint32_t value = offsetToValue(table, static_cast<std::int64_t>(plan.targets[n])).value_or(0);
        writeEntryBytes(image, position, table.size, table.bigEndian, valueToStored(table, value));
    }
}

std::string rangeUseText(const std::vector<RangeUse>& ranges)
{
    std::string text;
    for (const RangeUse& use : ranges)
        text += hexText(static_cast<std::uint32_t>(use.range.from), 8) + "-" +
                hexText(static_cast<std::uint32_t>(use.range.to), 8) + ": used " + std::to_string(use.used) +
                " byte(s), left " + std::to_string(use.left) + " byte(s)\n";
    return text;
}

#include "tiles/codecfile.h"

#include "app/numbers.h"
#include "app/textlines.h"
#include "tiles/codecformula.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

constexpr std::size_t kMaxNameLength = 100;
constexpr int kMaxTablePixels = kMaxUnitSide * kMaxUnitSide;

bool isBlank(char ch) { return ch == ' ' || ch == '\t'; }
bool isControl(char ch) { return static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Lower case, runs of blanks as one space: "Bits  Per pixel" is "bits per pixel".
std::string normalisedKey(std::string_view key)
{
    std::string out;
    for (const char ch : trimmed(key)) {
        if (isBlank(ch)) {
            if (out.back() != ' ')
                out += ' ';
        } else {
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        }
    }
    return out;
}

std::vector<std::string_view> words(std::string_view text)
{
    std::vector<std::string_view> out;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && isBlank(text[at]))
            ++at;
        const std::size_t start = at;
        while (at < text.size() && !isBlank(text[at]))
            ++at;
        if (at > start)
            out.push_back(text.substr(start, at - start));
    }
    return out;
}

struct Failure {
    int line;
    std::string message;
};

struct SizeField {
    std::string_view key;
    int CodecDescription::*field;
    int least;
    int most;
};

const SizeField kSizeFields[] = {
    {"bits per pixel", &CodecDescription::bitsPerPixel, 1, kMaxDescribedBits},
    {"width", &CodecDescription::width, 1, kMaxUnitSide},
    {"height", &CodecDescription::height, 1, kMaxUnitSide},
    {"tile bytes", &CodecDescription::bytes, 1, kMaxUnitBytes},
};

struct PlacedFormula {
    CodecFormula formula;
    int line = 0;
};

// One "pixel X Y = byte.bit ..." line.
struct TableRow {
    int line = 0;
    int x = 0;
    int y = 0;
    std::vector<CodecBit> bits;
};

// What the lines said, checked against each other once all are read.
struct FileFields {
    CodecDescription description;
    std::vector<int> sizeLines = std::vector<int>(std::size(kSizeFields), 0);
    int nameLine = 0;
    std::optional<PlacedFormula> byteFormula;
    std::optional<PlacedFormula> bitFormula;
    std::vector<TableRow> table;
    int lastLine = 1;
};

std::string pixelBitName(int x, int y, int p)
{
    return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") plane " + std::to_string(p);
}

std::optional<Failure> readTableRow(FileFields& f, int line, std::string_view key, std::string_view value)
{
    const std::vector<std::string_view> place = words(key);
    const std::optional<int> x = place.size() == 3 ? parseSmallDecimal(place[1], 999) : std::nullopt;
    const std::optional<int> y = place.size() == 3 ? parseSmallDecimal(place[2], 999) : std::nullopt;
    if (!x || !y)
        return Failure{line, "write a pixel line as \"pixel X Y = byte.bit byte.bit ...\""};
    if (static_cast<int>(f.table.size()) >= kMaxTablePixels)
        return Failure{line, "more pixel lines than a tile of " + std::to_string(kMaxTablePixels) + " pixels has"};
    TableRow row{line, *x, *y, {}};
    for (const std::string_view entry : words(value)) {
        if (static_cast<int>(row.bits.size()) >= kMaxDescribedBits)
            return Failure{line, "more than " + std::to_string(kMaxDescribedBits) + " bits for one pixel"};
        const std::size_t dot = entry.find('.');
        const std::optional<int> byte = dot == std::string_view::npos ? std::nullopt
                                                                       : parseSmallDecimal(entry.substr(0, dot), 99999);
        const std::optional<int> bit = dot == std::string_view::npos ? std::nullopt
                                                                      : parseSmallDecimal(entry.substr(dot + 1), 99);
        if (!byte || !bit)
            return Failure{line, "'" + quotedForMessage(entry, 20) + "' is not byte.bit (such as 12.7)"};
        row.bits.push_back({*byte, *bit});
    }
    f.table.push_back(std::move(row));
    return std::nullopt;
}

std::optional<Failure> readLine(FileFields& f, int line, std::string_view text)
{
    text = trimmed(text);
    if (text.empty() || text.front() == '#')
        return std::nullopt;
    const std::size_t equals = text.find('=');
    // The name runs to the end of the line, '#' and all.
    if (equals != std::string_view::npos && normalisedKey(text.substr(0, equals)) == "name") {
        if (f.nameLine)
            return Failure{line, "the name is given twice (first on line " + std::to_string(f.nameLine) + ")"};
        const std::string_view name = trimmed(text.substr(equals + 1));
        if (name.empty())
            return Failure{line, "the name is empty"};
        if (name.size() > kMaxNameLength)
            return Failure{line, "the name is longer than " + std::to_string(kMaxNameLength) + " characters"};
        if (std::any_of(name.begin(), name.end(), isControl))
            return Failure{line, "the name holds a control character"};
        f.description.name = std::string(name);
        f.nameLine = line;
        return std::nullopt;
    }
    text = trimmed(text.substr(0, text.find('#')));
    const std::size_t at = text.find('=');
    if (at == std::string_view::npos)
        return Failure{line, "expected \"key = value\", not '" + quotedForMessage(text, 40) + "'"};
    const std::string key = normalisedKey(text.substr(0, at));
    const std::string_view value = trimmed(text.substr(at + 1));

    if (key.starts_with("pixel ") || key == "pixel") {
        if (f.byteFormula || f.bitFormula)
            return Failure{line, "pixel lines cannot be mixed with the byte and bit formulas"};
        return readTableRow(f, line, key, value);
    }
    for (std::size_t i = 0; i < std::size(kSizeFields); ++i) {
        const SizeField& field = kSizeFields[i];
        if (key != field.key)
            continue;
        if (f.sizeLines[i])
            return Failure{line, key + " is given twice (first on line " + std::to_string(f.sizeLines[i]) + ")"};
        const std::optional<int> number = parseSmallDecimal(value, field.most);
        if (!number || *number < field.least)
            return Failure{line, key + " must be a number from " + std::to_string(field.least) + " to " +
                                     std::to_string(field.most) + ", not '" + quotedForMessage(value, 20) + "'"};
        f.description.*field.field = *number;
        f.sizeLines[i] = line;
        return std::nullopt;
    }
    if (key == "byte" || key == "bit") {
        std::optional<PlacedFormula>& slot = key == "byte" ? f.byteFormula : f.bitFormula;
        if (slot)
            return Failure{line, key + " is given twice (first on line " + std::to_string(slot->line) + ")"};
        if (!f.table.empty())
            return Failure{line, "the " + key + " formula cannot be mixed with pixel lines"};
        std::string error;
        std::optional<CodecFormula> formula = CodecFormula::parse(value, error);
        if (!formula)
            return Failure{line, key + ": " + error};
        slot = PlacedFormula{std::move(*formula), line};
        return std::nullopt;
    }
    return Failure{line, "unknown key '" + quotedForMessage(key, 40) +
                             "' (name, bits per pixel, width, height, tile bytes, byte, bit, pixel X Y)"};
}

// Marks each (byte, bit) as taken by one pixel bit, naming the earlier one on a clash.
class BitOwners {
public:
    explicit BitOwners(int bytes) : owner_(static_cast<std::size_t>(bytes) * 8, -1) {}

    std::optional<std::string> take(const CodecDescription& d, CodecBit at, int index)
    {
        int& owner = owner_[static_cast<std::size_t>(at.byte * 8 + at.bit)];
        if (owner < 0) {
            owner = index;
            return std::nullopt;
        }
        return describe(d, owner) + " and " + describe(d, index) + " both lie at byte " + std::to_string(at.byte) +
               " bit " + std::to_string(at.bit);
    }

private:
    static std::string describe(const CodecDescription& d, int index)
    {
        const int pixel = index / d.bitsPerPixel;
        return pixelBitName(pixel % d.width, pixel / d.width, index % d.bitsPerPixel);
    }

    std::vector<int> owner_;
};

std::optional<std::string> outsideProblem(const CodecDescription& d, CodecBit b)
{
    if (b.byte < 0 || b.byte >= d.bytes)
        return "byte " + std::to_string(b.byte) + " lies outside the " + std::to_string(d.bytes) + " tile bytes";
    if (b.bit < 0 || b.bit > 7)
        return "bit " + std::to_string(b.bit) + " is not 0 to 7";
    return std::nullopt;
}

std::optional<Failure> placeByFormulas(FileFields& f)
{
    CodecDescription& d = f.description;
    BitOwners owners(d.bytes);
    d.bits.clear();
    d.bits.reserve(static_cast<std::size_t>(d.width) * d.height * d.bitsPerPixel);
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x)
            for (int p = 0; p < d.bitsPerPixel; ++p) {
                // Built only for a message: this loop runs for every bit of the tile.
                const auto where = [&] { return " at " + pixelBitName(x, y, p); };
                std::string error;
                const std::optional<std::int64_t> byte = f.byteFormula->formula.evaluate({x, y, p}, error);
                if (!byte)
                    return Failure{f.byteFormula->line, "byte: " + error + where()};
                const std::optional<std::int64_t> bit = f.bitFormula->formula.evaluate({x, y, p}, error);
                if (!bit)
                    return Failure{f.bitFormula->line, "bit: " + error + where()};
                if (*byte < 0 || *byte >= d.bytes)
                    return Failure{f.byteFormula->line, "byte " + std::to_string(*byte) + where() +
                                                            " lies outside the " + std::to_string(d.bytes) +
                                                            " tile bytes"};
                if (*bit < 0 || *bit > 7)
                    return Failure{f.bitFormula->line, "bit " + std::to_string(*bit) + where() + " is not 0 to 7"};
                const CodecBit at{static_cast<std::int32_t>(*byte), static_cast<std::int32_t>(*bit)};
                if (std::optional<std::string> clash = owners.take(d, at, static_cast<int>(d.bits.size())))
                    return Failure{std::min(f.byteFormula->line, f.bitFormula->line), *clash};
                d.bits.push_back(at);
            }
    return std::nullopt;
}

std::optional<Failure> placeByTable(FileFields& f)
{
    CodecDescription& d = f.description;
    const std::size_t perPixel = static_cast<std::size_t>(d.bitsPerPixel);
    d.bits.assign(static_cast<std::size_t>(d.width) * d.height * perPixel, CodecBit{});
    std::vector<int> rowOfPixel(static_cast<std::size_t>(d.width) * d.height, 0);
    BitOwners owners(d.bytes);
    for (const TableRow& row : f.table) {
        if (row.x >= d.width || row.y >= d.height)
            return Failure{row.line, "pixel " + std::to_string(row.x) + " " + std::to_string(row.y) +
                                         " lies outside the " + std::to_string(d.width) + " x " +
                                         std::to_string(d.height) + " tile"};
        const std::size_t pixel = static_cast<std::size_t>(row.y * d.width + row.x);
        if (rowOfPixel[pixel])
            return Failure{row.line, "pixel " + std::to_string(row.x) + " " + std::to_string(row.y) +
                                         " is given twice (first on line " + std::to_string(rowOfPixel[pixel]) + ")"};
        rowOfPixel[pixel] = row.line;
        if (row.bits.size() != perPixel)
            return Failure{row.line, "the pixel lists " + std::to_string(row.bits.size()) + " bits, not " +
                                         std::to_string(perPixel) + " (bits per pixel)"};
        for (std::size_t p = 0; p < perPixel; ++p) {
            if (std::optional<std::string> outside = outsideProblem(d, row.bits[p]))
                return Failure{row.line, *outside};
            const int index = static_cast<int>(pixel * perPixel + p);
            if (std::optional<std::string> clash = owners.take(d, row.bits[p], index))
                return Failure{row.line, *clash};
            d.bits[static_cast<std::size_t>(index)] = row.bits[p];
        }
    }
    const auto missing = std::find(rowOfPixel.begin(), rowOfPixel.end(), 0);
    if (missing != rowOfPixel.end()) {
        const int pixel = static_cast<int>(missing - rowOfPixel.begin());
        return Failure{f.lastLine, "no pixel line for pixel " + std::to_string(pixel % d.width) + " " +
                                       std::to_string(pixel / d.width)};
    }
    return std::nullopt;
}

std::optional<Failure> finish(FileFields& f)
{
    if (!f.nameLine)
        return Failure{f.lastLine, "the file gives no name (name = ...)"};
    for (const std::size_t required : {std::size_t{0}, std::size_t{3}})
        if (!f.sizeLines[required]) {
            const std::string key(kSizeFields[required].key);
            return Failure{f.lastLine, "the file does not give " + key + " (" + key + " = ...)"};
        }
    if (f.byteFormula.has_value() != f.bitFormula.has_value()) {
        const bool onlyByte = f.byteFormula.has_value();
        return Failure{onlyByte ? f.byteFormula->line : f.bitFormula->line,
                       std::string(onlyByte ? "byte" : "bit") + " is given without " + (onlyByte ? "bit" : "byte")};
    }
    if (f.byteFormula)
        return placeByFormulas(f);
    if (f.table.empty())
        return Failure{f.lastLine, "the file places no pixel bits: give the byte and bit formulas or pixel lines"};
    return placeByTable(f);
}

std::string lineMessage(int line, const std::string& message) { return "line " + std::to_string(line) + ": " + message; }

} // namespace

CodecFileResult parseCodecFile(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    FileFields f;
    int line = 0;
    for (const std::string_view lineText : splitTextLines(text))
        if (std::optional<Failure> failure = readLine(f, ++line, lineText))
            return {std::nullopt, lineMessage(failure->line, failure->message), failure->line};
    f.lastLine = std::max(line, 1);
    if (std::optional<Failure> failure = finish(f))
        return {std::nullopt, lineMessage(failure->line, failure->message), failure->line};
    if (const std::string problem = descriptionProblem(f.description); !problem.empty())
        return {std::nullopt, lineMessage(f.lastLine, problem), f.lastLine};
    return {std::move(f.description), {}, 0};
}

std::string writeCodecFile(const CodecDescription& d)
{
    std::string name;
    for (const char ch : d.name)
        name += isControl(ch) ? ' ' : ch;
    std::string out = "# Where every pixel bit of a tile lies, as byte.bit.\n";
    out.append("name = ").append(trimmed(name)).append("\n");
    out += "bits per pixel = " + std::to_string(d.bitsPerPixel) + "\n";
    out += "width = " + std::to_string(d.width) + "\n";
    out += "height = " + std::to_string(d.height) + "\n";
    out += "tile bytes = " + std::to_string(d.bytes) + "\n";
    out += "# pixel X Y = plane 0, plane 1, ...\n";
    const std::size_t perPixel = static_cast<std::size_t>(std::max(d.bitsPerPixel, 0));
    std::size_t next = 0;
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) {
            // Appended piece by piece: also quicker for the up to 8192 bits.
            out.append("pixel ").append(std::to_string(x)).append(" ").append(std::to_string(y)).append(" =");
            for (std::size_t p = 0; p < perPixel && next < d.bits.size(); ++p, ++next)
                out.append(" ").append(std::to_string(d.bits[next].byte)).append(".").append(
                    std::to_string(d.bits[next].bit));
            out += "\n";
        }
    return out;
}

#include "tiles/palettefile.h"

#include "app/textlines.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace {

// Binary palettes of 4 or 16 entries have always been 256 bytes long; a
// 256-entry palette needs the whole 768-byte table.
constexpr std::size_t kShortBinaryFileSize = 256;

std::string invalidInteger(std::string_view text)
{
    std::string message(1, '\'');
    message.append(quotedForMessage(text));
    message.append("' is not a valid integer value");
    return message;
}

// Splits off the text before the first space; `rest` keeps what follows it.
// Without a space the whole text is the field and nothing remains.
std::string_view takeField(std::string_view& rest)
{
    const std::size_t space = rest.find(' ');
    const std::string_view field = rest.substr(0, space);
    rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    return field;
}

// Lines end with LF or CR LF; a missing line reads as empty.
class LineReader {
public:
    explicit LineReader(std::span<const std::uint8_t> bytes)
        : text_(reinterpret_cast<const char*>(bytes.data()), bytes.size())
    {
    }
    std::string_view next()
    {
        if (at_ >= text_.size())
            return {};
        std::size_t end = text_.find('\n', at_);
        if (end == std::string_view::npos)
            end = text_.size();
        std::string_view line = text_.substr(at_, end - at_);
        at_ = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        return line;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

} // namespace

PaletteFileForm paletteFileFormFor(std::string_view fileName)
{
    std::string upper(fileName);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
    return upper.find(".ACT") != std::string::npos ? PaletteFileForm::Binary : PaletteFileForm::Text;
}

int paletteEntryCount(PaletteMode mode)
{
    switch (mode) {
    case PaletteMode::FourColour:
        return 4;
    case PaletteMode::SixteenColour:
        return 16;
    case PaletteMode::TwoFiftySixColour:
        return 256;
    }
    return 4;
}


PaletteReadResult readPaletteText(std::span<const std::uint8_t> bytes, int count)
{
    PaletteReadResult result;
    LineReader lines(bytes);
    for (int entry = 0; entry < count; ++entry) {
        std::string_view rest = lines.next();
        const std::string_view red = takeField(rest);
        const std::string_view green = takeField(rest);
        const std::string_view blue = rest;
        int channels[3] = {};
        const std::string_view fields[3] = {red, green, blue};
        for (int i = 0; i < 3; ++i) {
            const std::optional<std::int32_t> value = parseDecimalInteger(fields[i]);
            if (!value) {
                result.error = invalidInteger(fields[i]);
                return result;
            }
            channels[i] = *value & 0xFF; // only the low byte counts
        }
        result.colours.push_back(rgbColour(channels[0], channels[1], channels[2]));
    }
    return result;
}

PaletteReadResult readPaletteBinary(std::span<const std::uint8_t> bytes, int count)
{
    PaletteReadResult result;
    for (int entry = 0; entry < count; ++entry) {
        const std::size_t at = static_cast<std::size_t>(entry) * 3;
        if (at + 3 > bytes.size()) {
            result.error = "Read beyond end of file";
            return result;
        }
        result.colours.push_back(rgbColour(bytes[at], bytes[at + 1], bytes[at + 2]));
    }
    return result;
}

PaletteReadResult readPaletteFile(std::span<const std::uint8_t> bytes, PaletteFileForm form, int count)
{
    return form == PaletteFileForm::Binary ? readPaletteBinary(bytes, count) : readPaletteText(bytes, count);
}

std::vector<std::uint8_t> writePaletteText(std::span<const Colour> colours)
{
    std::string text;
    for (Colour c : colours)
        text += std::to_string(redOf(c)) + ' ' + std::to_string(greenOf(c)) + ' ' + std::to_string(blueOf(c)) +
                "\r\n";
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> writePaletteBinary(std::span<const Colour> colours)
{
    std::vector<std::uint8_t> bytes(std::max(kShortBinaryFileSize, colours.size() * 3), 0);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        bytes[3 * i] = static_cast<std::uint8_t>(redOf(colours[i]));
        bytes[3 * i + 1] = static_cast<std::uint8_t>(greenOf(colours[i]));
        bytes[3 * i + 2] = static_cast<std::uint8_t>(blueOf(colours[i]));
    }
    return bytes;
}

std::vector<std::uint8_t> writePaletteFile(std::span<const Colour> colours, PaletteFileForm form)
{
    return form == PaletteFileForm::Binary ? writePaletteBinary(colours) : writePaletteText(colours);
}

Colour labelColour(Colour box)
{
    const Colour c = box & 0xFFFFFF;
    return c == 0x808080 ? 0xFFFFFF : 0xFFFFFF - c;
}

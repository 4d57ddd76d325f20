#include "cli/text.h"

#include "cli/tablefile.h"
#include "app/fileio.h"
#include "app/numbers.h"
#include "cli/romfile.h"
#include "text/chartable.h"
#include "text/stringcodec.h"

#include <QString>

#include <algorithm>
#include <optional>
#include <ostream>


int runDecode(const DecodeCommand& command, std::ostream& out, std::ostream& err)
{
    const std::optional<CodePage> codePage = codePageFor(command.codePage, err);
    if (!codePage)
        return kExitUsage;
    const std::optional<RomBytes> opened = readRomAsOpened(command.romPath, err);
    if (!opened)
        return kExitFileError;
    const std::optional<LoadedTable> table = loadTable(command.tablePath, *codePage, err);
    if (!table)
        return kExitFileError;
    const RomBytes& rom = *opened;
    const auto size = static_cast<std::int64_t>(rom.size());
    if (command.at >= size) {
        err << "quarn-tool: position " << hexText(static_cast<std::uint32_t>(command.at), 8)
            << " lies past the end of the image (" << size << " bytes)\n";
        return kExitFileError;
    }
    const std::int64_t length = std::min<std::int64_t>(command.length, size - command.at);
    if (length < command.length)
        err << "quarn-tool: the range is cut at the end of the image: " << length << " of " << command.length
            << " bytes\n";
    const std::span<const std::uint8_t> bytes(rom.data() + command.at, static_cast<std::size_t>(length));
    out << printable(*codePage, decodeBytes(table->matcher, bytes)) << "\n";
    return kExitOk;
}

int runEncode(const EncodeCommand& command, std::ostream& out, std::ostream& err)
{
    const std::optional<CodePage> codePage = codePageFor(command.codePage, err);
    if (!codePage)
        return kExitUsage;
    const std::optional<LoadedTable> table = loadTable(command.tablePath, *codePage, err);
    if (!table)
        return kExitFileError;
    const std::string text = typedText(command.text);
    const StrictEncodeResult encoded = encodeStrict(table->matcher, text);
    if (!encoded.ok()) {
        const UnmatchedCharacter where = unmatchedAt(text, *encoded.unmatchedOffset);
        err << "quarn-tool: " << unmatchedCharacterMessage(where, printable(*codePage, where.character)) << '\n';
        return kExitFileError;
    }
    for (std::size_t i = 0; i < encoded.codes.size(); ++i)
        out << (i ? " " : "") << hexText(encoded.codes[i], 2);
    out << "\n";
    return kExitOk;
}

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
    out << printable(*codePage, decodeBytes(table->entries, bytes)) << "\n";
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
    const std::optional<std::string> bytes = inCodePage(*codePage, command.text, "text", err);
    if (!bytes)
        return kExitFileError;
    const EntryMatcher matcher(table->entries, table->finished.longestEntryLength);
    const StrictEncodeResult encoded = encodeStrict(matcher, *bytes);
    if (!encoded.ok()) {
        const std::size_t at = *encoded.unmatchedOffset;
        err << "quarn-tool: "
            << unmatchedCharacterMessage({0, at + 1, (*bytes)[at]}, printable(*codePage, bytes->substr(at, 1)))
            << '\n';
        return kExitFileError;
    }
    for (std::size_t i = 0; i < encoded.codes.size(); ++i)
        out << (i ? " " : "") << hexText(encoded.codes[i], 2);
    out << "\n";
    return kExitOk;
}

#include "cli/patchcommands.h"

#include "app/fileio.h"
#include "cli/args.h"
#include "cli/romfile.h"

#include <QString>

#include <ostream>

namespace {
const char* formatName(PatchFormat format) { return format == PatchFormat::Ips ? "IPS" : "BPS"; }

bool writeToolFile(const std::string& path, const char* what, ByteView bytes, std::ostream& err)
{
    const QString error = writeWholeFile(QString::fromLocal8Bit(path), bytes);
    if (error.isEmpty())
        return true;
    err << "quarn-tool: cannot write " << what << " '" << path << "': " << error.toStdString() << '\n';
    return false;
}
} // namespace

int runMakePatch(const MakePatchCommand& command, std::ostream& out, std::ostream& err)
{
    // The files as they are: a patch is made between files, not padded images.
    const std::optional<RomBytes> original = readToolFile(command.originalPath, "original", err);
    if (!original)
        return kExitFileError;
    const std::optional<RomBytes> modified = readToolFile(command.modifiedPath, "modified file", err);
    if (!modified)
        return kExitFileError;
    const PatchResult patch = makePatch(command.format, *original, *modified);
    if (!patch.ok()) {
        err << "quarn-tool: cannot make an " << formatName(command.format) << " patch: " << patch.error << '\n';
        return kExitFileError;
    }
    if (!writeToolFile(command.outputPath, "patch", patch.bytes, err))
        return kExitFileError;
    out << "quarn-tool: wrote " << formatName(command.format) << " patch '" << command.outputPath << "', "
        << patch.bytes.size() << " bytes\n";
    return kExitOk;
}

int runApplyPatch(const ApplyPatchCommand& command, std::ostream& out, std::ostream& err)
{
    const bool replaceRom = command.outputPath.empty();
    const std::optional<RomBytes> rom =
        readToolFile(command.romPath, "ROM", err, replaceRom ? OpenMode::ReadWrite : OpenMode::ReadOnly);
    if (!rom)
        return kExitFileError;
    const std::optional<RomBytes> patch = readToolFile(command.patchPath, "patch", err);
    if (!patch)
        return kExitFileError;
    const PatchResult patched = applyPatch(*rom, *patch);
    if (!patched.ok()) {
        err << "quarn-tool: cannot apply '" << command.patchPath << "': " << patched.error << '\n';
        return kExitFileError;
    }
    const std::string& target = replaceRom ? command.romPath : command.outputPath;
    if (!writeToolFile(target, "ROM", patched.bytes, err))
        return kExitFileError;
    out << "quarn-tool: wrote '" << target << "', " << patched.bytes.size() << " bytes\n";
    return kExitOk;
}

#pragma once
// make-patch and apply-patch: IPS and BPS patches between ROM files.
#include "patch/patchresult.h"

#include <iosfwd>
#include <optional>
#include <string>

struct MakePatchCommand {
    std::string originalPath;
    std::string modifiedPath;
    std::string outputPath;
    PatchFormat format = PatchFormat::Bps; // from --format, else from the output's extension
    bool operator==(const MakePatchCommand&) const = default;
};

struct ApplyPatchCommand {
    std::string romPath;
    std::string patchPath;
    std::string outputPath; // empty: the ROM is replaced
    bool operator==(const ApplyPatchCommand&) const = default;
};

// Both return the process exit code; the result goes to `out`, messages to `err`.
int runMakePatch(const MakePatchCommand& command, std::ostream& out, std::ostream& err);
int runApplyPatch(const ApplyPatchCommand& command, std::ostream& out, std::ostream& err);

#include "patch/bps.h"
#include "patch/ips.h"
#include "patch/patchresult.h"

#include <algorithm>
#include <cctype>

namespace {
bool startsWith(ByteView bytes, std::string_view magic)
{
    return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin(),
                                                       [](char m, std::uint8_t b) { return std::uint8_t(m) == b; });
}
} // namespace

std::optional<PatchFormat> patchFormatOf(ByteView patch)
{
    if (startsWith(patch, "PATCH"))
        return PatchFormat::Ips;
    if (startsWith(patch, "BPS1"))
        return PatchFormat::Bps;
    return std::nullopt;
}

std::optional<PatchFormat> patchFormatForFileName(std::string_view fileName)
{
    std::string extension(fileExtension(fileName));
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".ips")
        return PatchFormat::Ips;
    if (extension == ".bps")
        return PatchFormat::Bps;
    return std::nullopt;
}

PatchResult makePatch(PatchFormat format, ByteView original, ByteView modified)
{
    return format == PatchFormat::Ips ? makeIpsPatch(original, modified) : makeBpsPatch(original, modified);
}

PatchResult applyPatch(ByteView rom, ByteView patch)
{
    const std::optional<PatchFormat> format = patchFormatOf(patch);
    if (!format)
        return patchFailure("not an IPS or BPS patch: it starts with neither \"PATCH\" nor \"BPS1\"");
    return *format == PatchFormat::Ips ? applyIpsPatch(rom, patch) : applyBpsPatch(rom, patch);
}

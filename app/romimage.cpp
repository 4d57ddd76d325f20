#include "app/romimage.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

std::string fileExtension(std::string_view fileName)
{
    // Only the last path component counts: a dot in a folder name is no extension.
    const std::size_t slash = fileName.find_last_of("/\\");
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot < nameStart)
        return {};
    return std::string(fileName.substr(dot));
}

Codec codecForFileName(std::string_view fileName)
{
    std::string ext = fileExtension(fileName);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
    static const std::array<std::pair<std::string_view, Codec>, 10> table{{
        {".NES", Codec::Nes},
        {".NGP", Codec::Ngp},
        {".GB", Codec::GameBoy},
        {".GBC", Codec::GameBoy},
        {".GBA", Codec::Gba},
        {".SMC", Codec::Snes},
        {".FIG", Codec::Snes},
        {".BIN", Codec::Genesis},
        {".SMS", Codec::Sms},
        {".GG", Codec::Sms},
    }};
    for (const auto& [extension, codec] : table)
        if (ext == extension)
            return codec;
    return Codec::OneBpp;
}

RomBytes makeRomImage(RomBytes fileBytes, std::int32_t minimum)
{
    if (fileBytes.size() < static_cast<std::size_t>(minimum))
        fileBytes.resize(static_cast<std::size_t>(minimum), kPaddingByte);
    return fileBytes;
}

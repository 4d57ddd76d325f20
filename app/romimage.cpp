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

int codecForFileName(std::string_view fileName)
{
    std::string ext = fileExtension(fileName);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
    static const std::array<std::pair<std::string_view, int>, 10> table{{
        {".NES", 1},
        {".NGP", 4},
        {".GB", 2},
        {".GBC", 2},
        {".GBA", 7},
        {".SMC", 5},
        {".FIG", 5},
        {".BIN", 8},
        {".SMS", 9},
        {".GG", 9},
    }};
    for (const auto& [extension, codec] : table)
        if (ext == extension)
            return codec;
    return 0;
}

RomBytes makeRomImage(RomBytes fileBytes, std::int32_t minimum)
{
    if (fileBytes.size() < static_cast<std::size_t>(minimum))
        fileBytes.resize(static_cast<std::size_t>(minimum), kPaddingByte);
    return fileBytes;
}

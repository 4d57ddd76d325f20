#pragma once
// The file manager's "Open with" entry on a freedesktop desktop: one desktop
// entry file that opens any file in the program.
#include <string>
#include <string_view>

// The console ROM types of the shared MIME database whose graphics the codecs
// decode; the installed desktop entry lists the same.
inline constexpr std::string_view kRomMimeTypes =
    "application/x-nes-rom;application/vnd.nintendo.snes.rom;application/x-snes-rom;application/x-gameboy-rom;"
    "application/x-gameboy-color-rom;application/x-gba-rom;application/x-neo-geo-pocket-rom;"
    "application/x-neo-geo-pocket-color-rom;application/x-genesis-rom;application/x-genesis-32x-rom;"
    "application/x-sms-rom;application/x-gamegear-rom;application/x-sg1000-rom;application/x-msx-rom;"
    "application/x-pc-engine-rom;application/x-wonderswan-rom;";

// The Exec value: the program's path (quoted when it holds characters the
// format reserves) and %f.
[[nodiscard]] std::string desktopExecValue(std::string_view programPath);

// The whole entry, Name = `name`, hidden from the application menus, for the
// ROM types and any other file.
[[nodiscard]] std::string desktopEntryText(std::string_view name, std::string_view programPath);

// Whether an entry's Exec line runs exactly this program.
[[nodiscard]] bool desktopEntryRunsProgram(std::string_view entryText, std::string_view programPath);

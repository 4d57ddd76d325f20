#pragma once
// The file manager's "Open with" entry on a freedesktop desktop: one desktop
// entry file that opens any file in the program.
#include <string>
#include <string_view>

// The console ROM types of the shared MIME database, then any file.
inline constexpr std::string_view kOpenWithMimeTypes =
    "application/x-nes-rom;application/x-gameboy-rom;application/x-gameboy-color-rom;application/x-gba-rom;"
    "application/x-neo-geo-pocket-rom;application/x-neo-geo-pocket-color-rom;application/x-snes-rom;"
    "application/x-genesis-rom;application/x-sms-rom;application/x-gamegear-rom;application/octet-stream;";

// The Exec value: the program's path (quoted when it holds characters the
// format reserves) and %f.
[[nodiscard]] std::string desktopExecValue(std::string_view programPath);

// The whole entry, Name = `name`, hidden from the application menus.
[[nodiscard]] std::string desktopEntryText(std::string_view name, std::string_view programPath);

// Whether an entry's Exec line runs exactly this program.
[[nodiscard]] bool desktopEntryRunsProgram(std::string_view entryText, std::string_view programPath);

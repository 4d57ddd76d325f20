#include "app/desktopentry.h"

#include "app/textlines.h"

namespace {
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
} // namespace

std::string desktopExecValue(std::string_view programPath)
{
    std::string argument;
    if (programPath.find_first_of(kReserved) == std::string_view::npos) {
        argument = programPath;
    } else {
        // Inside quotes ", `, $ and \ take a backslash; the value's own
        // escaping then doubles every backslash once more.
        argument = "\"";
        for (char ch : programPath) {
            if (ch == '"' || ch == '`' || ch == '$' || ch == '\\')
                argument += '\\';
            argument += ch;
        }
        argument += '"';
    }
    std::string value;
    for (char ch : argument) {
        if (ch == '\\')
            value += '\\';
        value += ch;
    }
    return value + " %f";
}

std::string desktopEntryText(std::string_view name, std::string_view programPath)
{
    std::string text = "[Desktop Entry]\nType=Application\nName=";
    text += name;
    text += "\nExec=" + desktopExecValue(programPath);
    text += "\nNoDisplay=true\nTerminal=false\nMimeType=";
    text += kRomMimeTypes;
    text += "application/octet-stream;\n";
    return text;
}

bool desktopEntryRunsProgram(std::string_view entryText, std::string_view programPath)
{
    const std::string wanted = "Exec=" + desktopExecValue(programPath);
    for (std::string_view line : splitTextLines(entryText))
        if (line == wanted)
            return true;
    return false;
}

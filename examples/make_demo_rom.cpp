// make-demo-rom OUT.nes [OUT.tbl]: writes a small "2BPP NES" ROM with an own
// font, a few decorative tiles and a short script, and optionally the
// character table that reads the script.
#include "examples/demo_font.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

namespace {

bool writeFile(const char* path, const char* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        std::cerr << "make-demo-rom: cannot create '" << path << "': " << std::strerror(errno) << '\n';
        return false;
    }
    out.write(data, static_cast<std::streamsize>(size));
    out.close();
    if (!out) {
        std::cerr << "make-demo-rom: cannot write '" << path << "'\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    const bool help = argc == 2 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0);
    if (help || argc < 2 || argc > 3) {
        std::ostream& out = help ? std::cout : std::cerr;
        out << "Usage: make-demo-rom OUT.nes [OUT.tbl]\n"
               "Writes a 16384-byte demo ROM in the \"2BPP NES\" tile format and, when a\n"
               "second name is given, the character table for its script.\n";
        return help ? 0 : 2;
    }
    const std::vector<std::uint8_t> rom = demo::buildDemoRom();
    if (!writeFile(argv[1], reinterpret_cast<const char*>(rom.data()), rom.size()))
        return 1;
    if (argc == 3) {
        const std::string table = demo::buildDemoTable();
        if (!writeFile(argv[2], table.data(), table.size()))
            return 1;
    }
    return 0;
}

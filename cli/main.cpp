// quarn-tool: the tile map of a ROM from the command line, through the same
// decoding, encoding and bitmap reading and writing as the program.
#include "cli/tool.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    return runTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}

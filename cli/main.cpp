// quarn-tool: the tile map of a ROM from the command line, through the same
// decoding, encoding and bitmap reading and writing as the program.
#include "app/codecfolders.h"
#include "cli/tool.h"

#include <QCoreApplication>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    // Only for the program's own folder; runTool itself needs no Qt application.
    QCoreApplication app(argc, argv);
    // Here and not in runTool, so tests running it never see a user's codec files.
    for (const QString& problem : loadCodecFolders(standardCodecFolders()))
        std::cerr << "quarn-tool: " << problem.toLocal8Bit().constData() << "\n";
    return runTool(args, std::cout, std::cerr);
}

#include "guitest.h"

#include <QApplication>
#include <QTest>

#include <cstdio>

std::map<std::string, GuiTestFactory>& guiTestRegistry()
{
    static std::map<std::string, GuiTestFactory> registry;
    return registry;
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2 || guiTestRegistry().count(argv[1]) == 0) {
        std::fprintf(stderr, "usage: gui_tests NAME [QtTest options]\nnames:");
        for (const auto& entry : guiTestRegistry())
            std::fprintf(stderr, " %s", entry.first.c_str());
        std::fprintf(stderr, "\n");
        return 2;
    }
    std::unique_ptr<QObject> test = guiTestRegistry()[argv[1]]();
    // QtTest sees the program name and the options after the test name.
    std::vector<char*> rest{argv[0]};
    for (int i = 2; i < argc; ++i)
        rest.push_back(argv[i]);
    return QTest::qExec(test.get(), static_cast<int>(rest.size()), rest.data());
}

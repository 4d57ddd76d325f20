#pragma once
// GUI test classes register under a short name; `gui_tests NAME` runs one.
#include <QObject>

#include <functional>
#include <map>
#include <memory>
#include <string>

using GuiTestFactory = std::function<std::unique_ptr<QObject>()>;
std::map<std::string, GuiTestFactory>& guiTestRegistry();

struct GuiTestRegistrar {
    GuiTestRegistrar(const char* name, GuiTestFactory factory) { guiTestRegistry()[name] = std::move(factory); }
};

#define QUARN_GUI_TEST(name, Class) \
    static const GuiTestRegistrar registrar_##Class(#name, [] { return std::make_unique<Class>(); })

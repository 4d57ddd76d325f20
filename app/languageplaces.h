#pragma once
// Where each language text is shown: window, component, what of it, and a
// fixed suffix. Apply Language walks this table.
#include <array>

enum class TextWindow { Main, TileMap, TileEditor, DataMap, Workspace, Search, Results, Script, Input, About };
enum class TextTarget { Caption, Hint, Title };

struct TextPlace {
    TextWindow window;
    const char* component; // object name; "" for the window itself
    const char* key;
    TextTarget target;
    const char* suffix;
};

extern const std::array<TextPlace, 122> kTextPlaces;

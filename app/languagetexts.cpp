#include "app/languagetexts.h"

const std::array<LanguageKey, 140> kLanguageKeys{{
    {LanguageSection::Variable, "Clear", "Clear"},
    {LanguageSection::Variable, "AboutItem", "About"},
    {LanguageSection::Variable, "GetBtn", "Extract"},
    {LanguageSection::Variable, "PasteBtn", "Paste"},
    {LanguageSection::Variable, "regopenkey", "Open in"},
    {LanguageSection::Variable, "GoTo", "Go to"},
    {LanguageSection::Variable, "Ok", "OK"},
    {LanguageSection::Variable, "Search", "Search"},
    {LanguageSection::Variable, "Cancel", "Cancel"},
    {LanguageSection::Variable, "Close", "Close"},
    {LanguageSection::Variable, "Openitem", "Open"},
    {LanguageSection::Variable, "SaveItem", "Save"},
    {LanguageSection::Variable, "Load", "Load"},
    {LanguageSection::Variable, "TileMapForm", "Tile Map"},
    {LanguageSection::Variable, "TileEdForm", "Tile Editor"},
    {LanguageSection::Variable, "DataForm", "Data Map"},
    {LanguageSection::Variable, "WorkSpaceForm", "Work Space"},
    {LanguageSection::Variable, "ExtractText", "Extract Script"},
    {LanguageSection::Variable, "ReplaceText", "Replace Script"},
    {LanguageSection::Variable, "TBLnamel", "Table"},
    {LanguageSection::Variable, "TileTblLab", "Tile Table"},
    {LanguageSection::Variable, "LenLab", "Length"},
    {LanguageSection::Variable, "MaxLenLab", "Maximal Length"},
    {LanguageSection::Variable, "ByteLeft", "Shift Left"},
    {LanguageSection::Variable, "ByteRight", "Shift Right"},
    {LanguageSection::Variable, "SavePALTitle", "Save Palette"},
    {LanguageSection::Variable, "OpenPALTitle", "Open Palette"},
    {LanguageSection::Variable, "BMP1Import", "Load From BMP"},
    {LanguageSection::Variable, "BMP2Export", "Save To BMP"},
    {LanguageSection::Variable, "TBLFilter", "Table (*.tbl)|*.tbl|All Files (*.*)|*.*"},
    {LanguageSection::Variable, "PALFilter", "KVR Palette (*.pal)|*.pal|Photoshop Palette (*.act)|*.act|All Files (*.*)|*.*"},
    {LanguageSection::Variable, "ROMFilter", "All Formats|*.nes; *.gb; *.gbc; *.gba; *.ngp; *.bin; *.smc; *.fig; *.chr; *.sms; *.gg|NES ROM (*.nes)|*.nes|Game Boy ROM  (*.gb; *.gbc; *.gba)|*.gb; *.gbc; *.gba|NeoGeo PocketPC ROM (*.ngp)|*.ngp|SNES ROM (*.smc; *.fig)|*.smc; *.fig|Sega ROM (*.bin)|*.bin|SMS/SGG ROM (*.sms; *.gg)|*.sms; *.gg|All Files (*.*)|*.*"},
    {LanguageSection::Variable, "Errs", "Non numeric value entered!!!"},
    {LanguageSection::Variable, "Tile", "Tile"},
    {LanguageSection::Variable, "Block", "Block"},
    {LanguageSection::Variable, "NotFound", "Not Found!!!"},
    {LanguageSection::Variable, "KVRWrongFileFormat", "Incompatible File Format!"},
    {LanguageSection::Variable, "DumpError", "Error!"},
    {LanguageSection::Variable, "Extracted", "Extracted"},
    {LanguageSection::Variable, "Byte", "byte(s)."},
    {LanguageSection::Variable, "Position", "Position"},
    {LanguageSection::Variable, "SelPosition", "Selected position"},
    {LanguageSection::Variable, "WSHint", "Shift to Copy, Ctrl to Exchange"},
    {LanguageSection::Variable, "GoTo1Inputbx", "Go To Position On Tile Map:"},
    {LanguageSection::Variable, "GoTo2Inputbx", "Go To Position:"},
    {LanguageSection::Variable, "AddresOfEachString", "Write Address Of Each String"},
    {LanguageSection::Variable, "ReplaceByNill", "Rest Fill with Nills"},
    {LanguageSection::Variable, "InputFillByte", "Enter Filling Byte"},
    {LanguageSection::Constant, "Filemenu", "ROM"},
    {LanguageSection::Constant, "ExitItem", "Exit"},
    {LanguageSection::Constant, "ReloadItem", "Reload"},
    {LanguageSection::Constant, "SaveASItem", "Save As..."},
    {LanguageSection::Constant, "TableMenu", "Tables"},
    {LanguageSection::Constant, "MkTmplItem", "Create Table..."},
    {LanguageSection::Constant, "OpenTblItem", "Open Table..."},
    {LanguageSection::Constant, "Rldtblitem", "Reload Table"},
    {LanguageSection::Constant, "OpenTileTbl", "Open Tile Table..."},
    {LanguageSection::Constant, "ReloadTileTbl", "Reload Tile Table"},
    {LanguageSection::Constant, "CloseTileTbl", "Close Tile Table"},
    {LanguageSection::Constant, "TileMapMenu", "Tile Map"},
    {LanguageSection::Constant, "TileLeft", "Move Left"},
    {LanguageSection::Constant, "TileRight", "Move Right"},
    {LanguageSection::Constant, "ClearTile", "Clear Tile"},
    {LanguageSection::Constant, "DataMapMenu", "Data Map"},
    {LanguageSection::Constant, "ViewSearchResult", "Search Result..."},
    {LanguageSection::Constant, "GetString", "Extract String"},
    {LanguageSection::Constant, "PutString", "Insert String"},
    {LanguageSection::Constant, "PaletteMenu", "Palette"},
    {LanguageSection::Constant, "Restore", "Set Default"},
    {LanguageSection::Constant, "Options", "Options"},
    {LanguageSection::Constant, "LenCount", "Character-Oriented String Length Counting"},
    {LanguageSection::Constant, "Vstrfont", "Use Built-in Font"},
    {LanguageSection::Constant, "DefaultPosition", "Set Windows By Default"},
    {LanguageSection::Constant, "Integrate", "Integration With Explorer"},
    {LanguageSection::Constant, "Language", "Language"},
    {LanguageSection::Constant, "HelpMenu", "Help"},
    {LanguageSection::Constant, "TblFormats", "Tables..."},
    {LanguageSection::Constant, "MakeTBLTitle", "Save Table"},
    {LanguageSection::Constant, "OpenROMTitle", "Open Rom"},
    {LanguageSection::Constant, "OpenTBLTitle", "Open Table"},
    {LanguageSection::Constant, "SaveROMTitle", "Save Rom"},
    {LanguageSection::Constant, "AboutStr1", "Thanks to everyone who draws fonts and translates games"},
    {LanguageSection::Constant, "AboutStr2", "with Relative Searcher"},
    {LanguageSection::Constant, "AboutStr3", "Modified by"},
    {LanguageSection::Constant, "StartPosition", "Script Start:"},
    {LanguageSection::Constant, "EndPosition", "Script End:"},
    {LanguageSection::Constant, "ReplaceAllText", "Insert All Script"},
    {LanguageSection::Constant, "ReplaceUntil", "Insert Script Till:"},
    {LanguageSection::Constant, "UpDown", "Up/Down"},
    {LanguageSection::Constant, "LeftRight", "Left/Right"},
    {LanguageSection::Constant, "Find", "Search"},
    {LanguageSection::Constant, "HexFind", "Hexadecimal"},
    {LanguageSection::Constant, "Interval", "Interval:"},
    {LanguageSection::Constant, "RelativeTextFind", "Relative Search"},
    {LanguageSection::Constant, "TextFind", "Normal Text"},
    {LanguageSection::Constant, "SearchResult", "Search Results"},
    {LanguageSection::Constant, "Result", "Result"},
    {LanguageSection::Constant, "CreateTbl", "Create Table"},
    {LanguageSection::Constant, "FlipVert", "Vertical Flip"},
    {LanguageSection::Constant, "FlipHoriz", "Horisontal Flip"},
    {LanguageSection::Constant, "MoveDown", "Shift Down"},
    {LanguageSection::Constant, "MoveLeft", "Shift Left"},
    {LanguageSection::Constant, "MoveRight", "Shift Right"},
    {LanguageSection::Constant, "MoveUp", "Shift Up"},
    {LanguageSection::Constant, "RotateLeft", "Rotate Left"},
    {LanguageSection::Constant, "RotateRight", "Rotate Right"},
    {LanguageSection::Constant, "GetFromROM", "Get Data From Rom"},
    {LanguageSection::Constant, "PutIntoROM", "Put Data Into Rom"},
    {LanguageSection::Constant, "OpenKVRData", "Open Data Map"},
    {LanguageSection::Constant, "KVRDataFilter", "Data Map File (*.kvr)|*.kvr"},
    {LanguageSection::Constant, "SaveKVRData", "Save Data Map"},
    {LanguageSection::Constant, "Undo", "Undo"},
    {LanguageSection::Constant, "Redo", "Redo"},
    {LanguageSection::Constant, "ZoomHint", "Ctrl+Wheel, Ctrl+= and Ctrl+-: zoom; Ctrl+0: double size"},
    {LanguageSection::Constant, "GridHint", "Ctrl+Shift+G: grid lines"},
    {LanguageSection::Constant, "TileMapHint", "Ctrl+Wheel, Ctrl+= and Ctrl+-: zoom; Ctrl+0: double size; Ctrl+Shift+G: grid lines"},
    {LanguageSection::Constant, "UnmatchedColours", "Pixels in no palette colour"},
    {LanguageSection::Constant, "UnmatchedInText", "No table entry matches the character \"%1\" at position %2 of the text. Nothing was written."},
    {LanguageSection::Constant, "UnmatchedInScript", "No table entry matches the character \"%1\" at position %2 of line %3. Nothing was written."},
    {LanguageSection::Constant, "WordOutsideCodePage", "The code page %1 cannot hold the letter \"%2\" at position %3 of the word. Nothing was searched."},
    {LanguageSection::Constant, "PictureSizeDiffers", "The picture is %1 x %2, the tile map %3 x %4: only the top left part that both cover was read."},
    {LanguageSection::Constant, "CreateTblBothCases", "Create Table, Both Cases"},
    {LanguageSection::TblFormatInfo, "str1", "Tables"},
    {LanguageSection::TblFormatInfo, "str2", "Character Table:"},
    {LanguageSection::TblFormatInfo, "str3", "first line is the address of tile map in ROM;"},
    {LanguageSection::TblFormatInfo, "str4", "other lines are indicates the characters."},
    {LanguageSection::TblFormatInfo, "str5", "Example:"},
    {LanguageSection::TblFormatInfo, "str6", "Tile Table:"},
    {LanguageSection::TblFormatInfo, "str7", "first line is the address of tile map in ROM;"},
    {LanguageSection::TblFormatInfo, "str8", "other lines are indicates the tiles/blocks for each element"},
    {LanguageSection::TblFormatInfo, "str9", "code before \"=\" is the number of the tile/block on tile map (1 HEX-code)"},
    {LanguageSection::TblFormatInfo, "str10", "codes after \"=\" is the sequence of the bytes,"},
    {LanguageSection::TblFormatInfo, "str11", "represents that tile/block (length of the sequence"},
    {LanguageSection::TblFormatInfo, "str12", "is limited just by the imagination of the user)."},
    {LanguageSection::TblFormatInfo, "str13", "Example:"},
    {LanguageSection::TblFormatInfo, "str14", "Character tables may also be written so:"},
    {LanguageSection::TblFormatInfo, "str15", "in UTF-8 (with a byte order mark, or with letters beyond ASCII), any script;"},
    {LanguageSection::TblFormatInfo, "str16", "without the address line (the address is then 0);"},
    {LanguageSection::TblFormatInfo, "str17", "codes of 2 to 4 bytes; the longest code that has an entry is read:"},
    {LanguageSection::TblFormatInfo, "str18", "line break and end as byte sequences, the end with a text of its own:"},
}};

void LanguageTexts::setBuiltInEnglish()
{
    texts_.clear();
    for (const LanguageKey& entry : kLanguageKeys)
        texts_.emplace(std::string(entry.key), std::string(entry.builtInEnglish));
}

const std::string& LanguageTexts::text(std::string_view key) const
{
    const auto found = texts_.find(key);
    if (found != texts_.end())
        return found->second;
    missing_ = "{" + std::string(key) + "}";
    return missing_;
}

bool LanguageTexts::has(std::string_view key) const
{
    return texts_.find(key) != texts_.end();
}

bool LanguageTexts::set(std::string_view key, std::string value)
{
    const auto found = texts_.find(key);
    if (found == texts_.end())
        return false;
    found->second = std::move(value);
    return true;
}

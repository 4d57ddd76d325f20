// The main menu: every item by name, caption and shortcut.
#include "app/kvrmain.h"

#include <QAction>
#include <QMenuBar>

namespace {
QKeySequence keys(QKeyCombination combination) { return QKeySequence(combination); }
} // namespace

QMenu* TQuarnTileMapper::addMenu(const char* name, const QString& caption)
{
    QMenu* menu = menuBar()->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    menus_[QString::fromLatin1(name)] = menu;
    return menu;
}

QAction* TQuarnTileMapper::addItem(QMenu* menu, const char* name, const QString& caption,
                                   const QKeySequence& shortcut, void (TQuarnTileMapper::*handler)())
{
    auto* item = new QAction(caption, this);
    item->setObjectName(QString::fromLatin1(name));
    item->setShortcut(shortcut);
    // Menu shortcuts work from every window of the program, not only this one.
    item->setShortcutContext(Qt::ApplicationShortcut);
    menu->addAction(item);
    if (handler)
        connect(item, &QAction::triggered, this, handler);
    else
        item->setEnabled(false); // its command comes with a later part of the program
    actions_[QString::fromLatin1(name)] = item;
    return item;
}

void TQuarnTileMapper::createMenus()
{
    const QString dots = QStringLiteral("...");
    auto t = [this](const char* key) { return wb_.text(key); };

    menuBar()->setObjectName(QStringLiteral("MainMenu"));
    QMenu* file = addMenu("FileMenu", t("Filemenu"));
    addItem(file, "OpenItem", t("Openitem") + dots, keys(Qt::Key_F3), &TQuarnTileMapper::OpenItemClick);
    addItem(file, "ReloadItem", t("ReloadItem"), keys(Qt::Key_F7), &TQuarnTileMapper::ReloadItemClick)
        ->setEnabled(false);
    addItem(file, "SaveItem", t("SaveItem") + dots, keys(Qt::Key_F2), &TQuarnTileMapper::SaveItemClick)
        ->setEnabled(false);
    addItem(file, "SaveASitem", t("SaveASItem"), keys(Qt::CTRL | Qt::Key_S), &TQuarnTileMapper::SaveASitemClick)
        ->setEnabled(false);
    addItem(file, "CreatePatchItem", t("CreatePatch") + dots, QKeySequence(), &TQuarnTileMapper::CreatePatchClick)
        ->setEnabled(false);
    addItem(file, "ApplyPatchItem", t("ApplyPatch") + dots, QKeySequence(), &TQuarnTileMapper::ApplyPatchClick)
        ->setEnabled(false);
    // Captions carry the name of the step; they are set by updateUndoItems.
    addItem(file, "UndoItem", t("Undo"), keys(Qt::CTRL | Qt::Key_Z), &TQuarnTileMapper::UndoItemClick);
    addItem(file, "RedoItem", t("Redo"), keys(Qt::CTRL | Qt::Key_Y), &TQuarnTileMapper::RedoItemClick)
        ->setShortcuts({keys(Qt::CTRL | Qt::Key_Y), keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    file->addSeparator();
    addItem(file, "ExitItem", t("ExitItem"), keys(Qt::Key_F10), &TQuarnTileMapper::ExitItemClick);

    QMenu* tables = addMenu("TableMenu", t("TableMenu"));
    addItem(tables, "MkTmplItem", t("MkTmplItem"), keys(Qt::CTRL | Qt::Key_M), &TQuarnTileMapper::MkTmplItemClick);
    tables->addSeparator();
    addItem(tables, "OpenTblItem", t("OpenTblItem"), keys(Qt::CTRL | Qt::Key_O),
            &TQuarnTileMapper::OpenTblItemClick);
    addItem(tables, "Rldtblitem", t("Rldtblitem"), keys(Qt::Key_F12), &TQuarnTileMapper::RldtblitemClick)
        ->setEnabled(false);
    tables->addSeparator();
    addItem(tables, "ottnl", t("OpenTileTbl"), keys(Qt::CTRL | Qt::Key_B), &TQuarnTileMapper::ottnlClick);
    // Reload and Close wait for Open Tile Table.
    addItem(tables, "rttbl", t("ReloadTileTbl"), keys(Qt::Key_F11), &TQuarnTileMapper::rttblClick)
        ->setEnabled(false);
    addItem(tables, "cttbl", t("CloseTileTbl"), keys(Qt::CTRL | Qt::Key_K), &TQuarnTileMapper::cttblClick)
        ->setEnabled(false);

    QMenu* tileMap = addMenu("TileMapMenu", t("TileMapMenu"));
    addItem(tileMap, "GoTo1", t("GoTo") + dots, keys(Qt::CTRL | Qt::Key_G), &TQuarnTileMapper::GoTo1Click);
    tileMap->addSeparator();
    addItem(tileMap, "N4", t("TileLeft"), keys(Qt::SHIFT | Qt::Key_F7), &TQuarnTileMapper::N4Click);
    addItem(tileMap, "N5", t("TileRight"), keys(Qt::SHIFT | Qt::Key_F8), &TQuarnTileMapper::N5Click);
    addItem(tileMap, "N6", t("ByteLeft"), keys(Qt::SHIFT | Qt::Key_F11), &TQuarnTileMapper::N6Click);
    addItem(tileMap, "N7", t("ByteRight"), keys(Qt::SHIFT | Qt::Key_F12), &TQuarnTileMapper::N7Click);
    addItem(tileMap, "N8", t("ClearTile"), keys(Qt::SHIFT | Qt::Key_Delete), &TQuarnTileMapper::N8Click);
    tileMap->addSeparator();
    addItem(tileMap, "BMP1", t("BMP1Import") + dots, keys(Qt::CTRL | Qt::Key_I), &TQuarnTileMapper::BMP1Click);
    addItem(tileMap, "BMP2", t("BMP2Export") + dots, keys(Qt::CTRL | Qt::Key_E), &TQuarnTileMapper::BMP2Click);
    tileMap->menuAction()->setEnabled(false);

    QMenu* dataMap = addMenu("DataMapMenu", t("DataMapMenu"));
    addItem(dataMap, "GoTo2", t("GoTo") + dots, keys(Qt::CTRL | Qt::Key_T), &TQuarnTileMapper::GoTo2Click);
    addItem(dataMap, "SearchItem", t("Search") + dots, keys(Qt::CTRL | Qt::Key_F), &TQuarnTileMapper::SearchItemClick);
    addItem(dataMap, "N25", t("ViewSearchResult"), keys(Qt::CTRL | Qt::Key_F11), &TQuarnTileMapper::N25Click);
    dataMap->addSeparator();
    addItem(dataMap, "N9", t("ByteLeft"), keys(Qt::SHIFT | Qt::Key_F5), &TQuarnTileMapper::N9Click);
    addItem(dataMap, "N10", t("ByteRight"), keys(Qt::SHIFT | Qt::Key_F6), &TQuarnTileMapper::N10Click);
    addItem(dataMap, "N28", t("Clear"), keys(Qt::CTRL | Qt::Key_D), &TQuarnTileMapper::N28Click);
    dataMap->addSeparator();
    // Disabled until a table is opened while a ROM is loaded.
    addItem(dataMap, "N20", t("ExtractText") + dots, keys(Qt::Key_F4), &TQuarnTileMapper::N20Click)
        ->setEnabled(false);
    addItem(dataMap, "N24", t("ReplaceText") + dots, keys(Qt::CTRL | Qt::Key_F4), &TQuarnTileMapper::N24Click)
        ->setEnabled(false);
    // Disabled until a table is finished.
    addItem(dataMap, "Getstring1", t("GetString"), keys(Qt::Key_F5), &TQuarnTileMapper::Getstring1Click)
        ->setEnabled(false);
    addItem(dataMap, "PutString1", t("PutString"), keys(Qt::Key_Insert), &TQuarnTileMapper::PutString1Click)
        ->setEnabled(false);
    dataMap->addSeparator();
    addItem(dataMap, "N31", t("PointerTable"), keys(Qt::CTRL | Qt::Key_P), &TQuarnTileMapper::N31Click);
    dataMap->addSeparator();
    // Open at the selected byte; the other two only while a block is open.
    addItem(dataMap, "OpenBlockItem", t("OpenBlock"), keys(Qt::CTRL | Qt::SHIFT | Qt::Key_O),
            &TQuarnTileMapper::OpenBlockClick);
    addItem(dataMap, "WriteBackItem", t("WriteBack"), keys(Qt::CTRL | Qt::SHIFT | Qt::Key_W),
            &TQuarnTileMapper::WriteBackClick)
        ->setEnabled(false);
    addItem(dataMap, "CloseBlockItem", t("CloseBlock"), keys(Qt::CTRL | Qt::SHIFT | Qt::Key_K),
            &TQuarnTileMapper::CloseBlockClick)
        ->setEnabled(false);
    dataMap->menuAction()->setEnabled(false);

    QMenu* palette = addMenu("PaletteMenu", t("PaletteMenu"));
    addItem(palette, "Restore1", t("Restore"), keys(Qt::CTRL | Qt::Key_R), &TQuarnTileMapper::Restore1Click);
    addItem(palette, "N1", t("Load") + dots, keys(Qt::CTRL | Qt::Key_L), &TQuarnTileMapper::N1Click);
    addItem(palette, "N2", t("SaveItem") + dots, keys(Qt::CTRL | Qt::Key_V), &TQuarnTileMapper::N2Click);
    palette->addSeparator();
    // Read waits for a ROM, Write for a palette read from it.
    addItem(palette, "ReadPalItem", t("ReadFromRom") + dots, QKeySequence(), &TQuarnTileMapper::ReadPalClick)
        ->setEnabled(false);
    addItem(palette, "WritePalItem", t("WriteToRom"), QKeySequence(), &TQuarnTileMapper::WritePalClick)
        ->setEnabled(false);
    palette->addSeparator();
    addItem(palette, "NesPalItem", t("NesMasterPalette") + dots, QKeySequence(), &TQuarnTileMapper::NesPalClick);

    QMenu* options = addMenu("optItm", t("Options"));
    connect(options, &QMenu::aboutToShow, this, &TQuarnTileMapper::optItmClick);
    addItem(options, "LCnt", t("LenCount"), keys(Qt::Key_F9), &TQuarnTileMapper::LCntClick)->setCheckable(true);
    options->addSeparator();
    const std::array<std::pair<const char*, const char*>, 4> windows{
        {{"N11", "TileMapForm"}, {"N12", "TileEdForm"}, {"N13", "DataForm"}, {"N29", "WorkSpaceForm"}}};
    const std::array<void (TQuarnTileMapper::*)(), 4> toggles{
        &TQuarnTileMapper::N11Click, &TQuarnTileMapper::N12Click, &TQuarnTileMapper::N13Click,
        &TQuarnTileMapper::N29Click};
    const std::array<Qt::Key, 4> letters{Qt::Key_A, Qt::Key_B, Qt::Key_C, Qt::Key_D};
    for (std::size_t i = 0; i < windows.size(); ++i) {
        QAction* item = addItem(options, windows[i].first, t(windows[i].second),
                                keys(Qt::CTRL | Qt::ALT | letters[i]), toggles[i]);
        item->setCheckable(true);
        item->setChecked(i < 3);
    }
    options->addSeparator();
    addItem(options, "vstrfont", t("Vstrfont"), keys(Qt::CTRL | Qt::Key_W), &TQuarnTileMapper::vstrfontClick)
        ->setCheckable(true);
    options->addSeparator();
    addItem(options, "N27", t("DefaultPosition"), keys(Qt::CTRL | Qt::Key_F12), &TQuarnTileMapper::N27Click);
    addItem(options, "N30", t("Integrate"), QKeySequence(), &TQuarnTileMapper::N30Click)->setCheckable(true);
    QMenu* language = options->addMenu(t("Language"));
    language->setObjectName(QStringLiteral("Language"));
    language->menuAction()->setObjectName(QStringLiteral("Language"));
    menus_[QStringLiteral("Language")] = language;
    auto* english = new QAction(QStringLiteral("English (Integrated)"), this);
    english->setObjectName(QStringLiteral("English"));
    english->setCheckable(true);
    english->setChecked(true);
    language->addAction(english);
    actions_[QStringLiteral("English")] = english;

    QMenu* help = addMenu("HelpMenu", t("HelpMenu"));
    addItem(help, "N3", t("TblFormats"), keys(Qt::SHIFT | Qt::Key_F1), &TQuarnTileMapper::N3Click);
    addItem(help, "AboutItem", t("AboutItem") + dots, keys(Qt::Key_F1), &TQuarnTileMapper::AboutItemClick);
}

// Open Compressed Block, Write Back and Close Block of the Data Map menu: a
// block the console's BIOS decompresses is shown and edited in every window
// as if it were the image, then recompressed into its place in the ROM.
#include "app/kvrmain.h"
#include "app/numbers.h"
#include "text/dataf.h"
#include "tiles/tmform.h"

#include <QAction>

#include <algorithm>

namespace {

QString offsetText(std::size_t offset) { return QString::fromStdString(hexText(static_cast<std::uint32_t>(offset), 8)); }

// The names the formats go by in the title and the question.
QString formatCaption(CompressionFormat format)
{
    switch (format) {
    case CompressionFormat::Lz10:
        return QStringLiteral("LZ77");
    case CompressionFormat::Lz11:
        return QStringLiteral("LZ11");
    case CompressionFormat::Rle:
        return QStringLiteral("RLE");
    case CompressionFormat::Huffman4:
        return QStringLiteral("Huffman 4-bit");
    case CompressionFormat::Huffman8:
        return QStringLiteral("Huffman 8-bit");
    }
    return {};
}

} // namespace

QString TQuarnTileMapper::openBlockName() const
{
    const OpenBlock* block = wb_.state.openBlock.get();
    if (!block)
        return {};
    return wb_.text("BlockTitle").arg(formatCaption(block->format()), offsetText(block->offset()));
}

void TQuarnTileMapper::enableBlockItems()
{
    const SharedState& s = wb_.state;
    const bool open = s.openBlock != nullptr;
    // One block at a time; patches are made and applied on the ROM image.
    action("OpenBlockItem")->setEnabled(s.romLoaded && !open);
    action("WriteBackItem")->setEnabled(open);
    action("CloseBlockItem")->setEnabled(open);
    action("CreatePatchItem")->setEnabled(s.romLoaded && !open);
    action("ApplyPatchItem")->setEnabled(s.romLoaded && !open);
}

void TQuarnTileMapper::showImageAt(const ImagePlace& place)
{
    SharedState& s = wb_.state;
    Forms& f = wb_.forms;
    s.selectedTile = place.selectedTile;
    s.markedBlock = place.markedBlock;
    s.selectedCell = place.selectedCell;
    // The scroll bars take the new image's size first; the positions are set
    // after them, so they hold even where the bars stop short.
    f.tileMapForm->updateTileMapScrollRange();
    f.tileMapForm->moveTileMapScroll(place.tileMapPosition);
    f.tileMapForm->setTileMapPosition(place.tileMapPosition);
    f.dataForm->updateDataScrollRange();
    f.dataForm->moveDataScroll(place.dataPosition);
    s.selectedCell = place.selectedCell;
    f.dataForm->setDataPosition(place.dataPosition);
    buildMainTitle();
    enableBlockItems();
    updateUndoItems();
}

void TQuarnTileMapper::OpenBlockClick()
{
    SharedState& s = wb_.state;
    if (!s.romLoaded || s.openBlock)
        return;
    const std::int32_t at = std::clamp(s.selectedPosition(), 0, std::max(0, s.romSize() - 1));
    const ImagePlace place{s.tileMapPosition, s.dataPosition, s.selectedCell, s.selectedTile, s.markedBlock};
    OpenBlock::Opened opened = OpenBlock::open(s.rom, static_cast<std::size_t>(at), place);
    if (!opened.block) {
        showError(wb_.text("BlockRefused").arg(offsetText(static_cast<std::size_t>(at)),
                                               QString::fromStdString(opened.error)));
        return;
    }
    s.openBlock = std::move(opened.block);
    showImageAt(ImagePlace{});
}

bool TQuarnTileMapper::writeBackBlock()
{
    SharedState& s = wb_.state;
    if (!s.openBlock)
        return true;
    const WriteBackResult result = s.openBlock->writeBack(s.rom);
    if (!result.ok()) {
        if (result.newSize > result.oldSize)
            showError(wb_.text("BlockNoLongerFits").arg(result.newSize).arg(result.oldSize));
        else
            showError(wb_.text("BlockNotWritten") + QStringLiteral(": ") + QString::fromStdString(result.error));
        return false;
    }
    // The ROM image waits aside without a listener: its "*" is shown here.
    buildMainTitle();
    return true;
}

void TQuarnTileMapper::WriteBackClick()
{
    writeBackBlock();
}

bool TQuarnTileMapper::mayCloseBlock()
{
    const SharedState& s = wb_.state;
    if (!s.openBlock || !s.rom.modified())
        return true;
    const OpenBlock& block = *s.openBlock;
    const SaveChangesQuestion question{
        wb_.text("SaveBlockChanges").arg(formatCaption(block.format()), offsetText(block.offset())),
        wb_.text("WriteBack"), wb_.text("Discard"), wb_.text("Cancel")};
    switch (wb_.dialogs().askSaveChanges(this, question)) {
    case SaveChangesAnswer::Save:
        return writeBackBlock();
    case SaveChangesAnswer::Discard:
        return true;
    case SaveChangesAnswer::Cancel:
        break;
    }
    return false;
}

void TQuarnTileMapper::leaveBlock()
{
    SharedState& s = wb_.state;
    if (!s.openBlock)
        return;
    const ImagePlace place = s.openBlock->place();
    std::unique_ptr<OpenBlock> block = std::move(s.openBlock);
    block->close(s.rom);
    block.reset();
    showImageAt(place);
}

void TQuarnTileMapper::CloseBlockClick()
{
    if (mayCloseBlock())
        leaveBlock();
}

#include "text/codecells.h"

#include "app/forms.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>

namespace {
constexpr QRgb kTextColour = 0xFFD0D0D0; // light grey on black

QFont cellFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont);
    font.setBold(true);
    return font;
}
} // namespace

CodeCellPainter::CodeCellPainter(const Workbench& workbench, bool textMode) : wb_(workbench), textMode_(textMode) {}

void CodeCellPainter::begin(QPainter& painter) const
{
    if (!textMode_)
        return;
    painter.setFont(cellFont());
    painter.setPen(QColor::fromRgb(kTextColour));
}

void CodeCellPainter::paint(QPainter& painter, const QRect& cell, int code) const
{
    if (textMode_) {
        // Control codes have no glyph; their cells stay black.
        const QString ch = character(code);
        if (!ch.isEmpty() && ch.at(0).isPrint()) {
            painter.save();
            painter.setClipRect(cell);
            painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop, ch);
            painter.restore();
        }
        return;
    }
    // Block `code` of the tile map bitmap, which holds the blocks in their
    // screen arrangement, shown at twice its size.
    const Bitmap& bitmap = wb_.state.tileMapBitmap;
    const TileGeometry& g = wb_.state.geometry;
    const QImage image(reinterpret_cast<const uchar*>(bitmap.pixels.data()), bitmap.width, bitmap.height,
                       bitmap.width * 4, QImage::Format_RGB32);
    const int bw = g.tileWidth * g.blockWidth;
    const int bh = g.tileHeight * g.blockHeight;
    const QRect block((code % 16) * bw, (code / 16) * bh, bw, bh);
    if (image.rect().contains(block))
        painter.drawImage(cell, image, block);
}

QString CodeCellPainter::character(int code) const
{
    const SharedState& s = wb_.state;
    if (!s.tableLoaded)
        return wb_.codePage.toUnicode(static_cast<unsigned char>(code));
    const std::string& entry = s.charTable[static_cast<std::size_t>(code)];
    if (entry.empty())
        return {};
    return wb_.codePage.toUnicode(static_cast<unsigned char>(entry.front()));
}

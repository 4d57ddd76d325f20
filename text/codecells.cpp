#include "text/codecells.h"

#include "app/forms.h"
#include "text/utf8.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>

namespace {
constexpr QRgb kTextColour = 0xFFD0D0D0; // light grey on black
constexpr QRgb kContinuationColour = 0xFF606060; // dimmed: a byte of the code before

QFont cellFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont);
    font.setBold(true);
    return font;
}
} // namespace

QString firstCharacter(std::string_view text)
{
    const Utf8Character ch = utf8CharacterAt(text, 0);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(ch.length));
}

const QImage& GlyphSheet::cells(const QString& characters, QSize cell)
{
    if (characters == characters_ && cell == cell_ && !sheet_.isNull())
        return sheet_;
    characters_ = characters;
    cell_ = cell;
    sheet_ = QImage(cell.width() * 256, cell.height(), QImage::Format_RGB32);
    sheet_.fill(Qt::black);
    QPainter painter(&sheet_);
    painter.setFont(cellFont());
    painter.setPen(QColor::fromRgb(kTextColour));
    for (int code = 0; code < characters.size(); ++code) {
        const QChar ch = characters.at(code);
        // Control codes have no glyph; their cells stay black.
        if (ch.isNull() || !ch.isPrint())
            continue;
        const QRect target(code * cell.width(), 0, cell.width(), cell.height());
        painter.setClipRect(target);
        painter.drawText(target, Qt::AlignLeft | Qt::AlignTop, QString(ch));
    }
    return sheet_;
}

CodeCellPainter::CodeCellPainter(const Workbench& workbench, bool textMode, GlyphSheet* glyphs)
    : wb_(workbench), textMode_(textMode), glyphs_(glyphs)
{
}

void CodeCellPainter::begin(QPainter& painter) const
{
    if (!textMode_)
        return;
    painter.setFont(cellFont());
    painter.setPen(QColor::fromRgb(kTextColour));
}

void CodeCellPainter::drawCharacter(QPainter& painter, const QRect& cell, const QString& ch) const
{
    // Control codes have no glyph; their cells stay black.
    if (ch.isEmpty() || !ch.at(0).isPrint())
        return;
    painter.save();
    painter.setClipRect(cell);
    painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop, ch);
    painter.restore();
}

void CodeCellPainter::paintSequenceCell(QPainter& painter, const QRect& cell, const QString& character) const
{
    if (!character.isEmpty()) {
        drawCharacter(painter, cell, character);
        return;
    }
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgb(kContinuationColour));
    const int size = std::max(2, std::min(cell.width(), cell.height()) / 5);
    painter.drawEllipse(QRect(0, 0, size, size).translated(cell.center() - QPoint(size / 2, size / 2)));
    painter.restore();
}

void CodeCellPainter::paint(QPainter& painter, const QRect& cell, int code) const
{
    if (textMode_) {
        if (!glyphs_) {
            drawCharacter(painter, cell, character(code));
            return;
        }
        if (!sheet_) {
            QString characters(256, QChar());
            for (int c = 0; c < 256; ++c) {
                const QString ch = character(c);
                if (!ch.isEmpty())
                    characters[c] = ch.at(0);
            }
            sheet_ = &glyphs_->cells(characters, cell.size());
        }
        painter.drawImage(cell.topLeft(), *sheet_, QRect(code * cell.width(), 0, cell.width(), cell.height()));
        return;
    }
    // Block `code` of the tile map bitmap, which holds the blocks in their
    // screen arrangement, shown at twice its size.
    const SharedState& s = wb_.state;
    const Bitmap& bitmap = s.tileMap.ensureBlock(s.tileMapSource(), code);
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
    return firstCharacter(entry);
}

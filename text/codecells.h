#pragma once
// How a code is drawn in a cell of the data map and of the workspace: the
// tile map's block of that number at twice its size, or with "Use Built-in
// Font" the first character of its table entry (the character of that code
// when no table is open).
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include <string_view>

class QPainter;
class Workbench;

// The first character of UTF-8 table text, as the data map shows an entry.
QString firstCharacter(std::string_view text);

// The characters of all 256 codes drawn once into a row of cells, so that a
// text-mode redraw copies cells instead of laying out text for each of them.
// Drawn again only when a character or the cell size changes.
class GlyphSheet {
public:
    const QImage& cells(const QString& characters, QSize cell);

private:
    QString characters_;
    QSize cell_;
    QImage sheet_;
};

class CodeCellPainter {
public:
    // With a glyph sheet, text mode copies the characters from it.
    CodeCellPainter(const Workbench& workbench, bool textMode, GlyphSheet* glyphs = nullptr);

    // Sets the pen and font of text mode on `painter`.
    void begin(QPainter& painter) const;
    void paint(QPainter& painter, const QRect& cell, int code) const;
    // A cell of a code of several bytes: its character in the first cell
    // (`character`), a dimmed dot in the cells it covers (empty `character`).
    void paintSequenceCell(QPainter& painter, const QRect& cell, const QString& character) const;
    bool textMode() const { return textMode_; }
    // The character a code shows in text mode; empty for an entry not yet
    // filled in.
    QString character(int code) const;

private:
    void drawCharacter(QPainter& painter, const QRect& cell, const QString& ch) const;

    const Workbench& wb_;
    bool textMode_;
    GlyphSheet* glyphs_;
    mutable const QImage* sheet_ = nullptr;
};

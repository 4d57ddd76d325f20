#pragma once
// How a code is drawn in a cell of the data map and of the workspace: the
// tile map's block of that number at twice its size, or with "Use Built-in
// Font" the first character of its table entry (the character of that code
// when no table is open).
#include <QFont>
#include <QRect>
#include <QString>

class QPainter;
class Workbench;

class CodeCellPainter {
public:
    CodeCellPainter(const Workbench& workbench, bool textMode);

    // Sets the pen and font of text mode on `painter`.
    void begin(QPainter& painter) const;
    void paint(QPainter& painter, const QRect& cell, int code) const;
    // The character a code shows in text mode; empty for an entry not yet
    // filled in.
    QString character(int code) const;

private:
    const Workbench& wb_;
    bool textMode_;
};

#pragma once
// Where the program's windows open: the dialogs centred on the desktop, the
// main window and its tool windows in the default layout.
#include <QSize>

#include <functional>
#include <vector>

class QWidget;
struct Forms;

// Moves a window, frame included, to the centre of the primary screen.
void centreOnScreen(QWidget& window);

// Resizes a window to what its contents ask for, within its smallest and
// largest size. (QWidget::adjustSize stops at two thirds of the screen.)
void fitToContents(QWidget& window);

// A window's size with the frame the window manager put around it; before
// the window is first mapped no frame is known yet and the size is the
// client's.
QSize frameSizeOf(const QWidget& window);

// Set Windows By Default: the main window at the top left of the screen's
// available area, the tile map and the tile editor right of it, the data map
// and the workspace below it, 5 pixels apart, frames counted. Each tool
// window may grow only as far as the available area reaches.
void placeWindowsByDefault(const Forms& forms);

// Calls `done` once, as soon as every one of the (shown) windows is on the
// screen. Under a window manager the frames are known only then, so a
// layout that counts frames is repeated at that moment.
void whenOnScreen(const std::vector<QWidget*>& windows, std::function<void()> done);

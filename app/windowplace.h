#pragma once
// Where the program's dialogs open: centred on the desktop.
class QWidget;

// Moves a window, frame included, to the centre of the primary screen.
void centreOnScreen(QWidget& window);

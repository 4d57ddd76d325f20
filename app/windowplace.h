#pragma once
// Where the program's dialogs open: centred on the desktop.
class QWidget;

// Moves a window, frame included, to the centre of the primary screen.
void centreOnScreen(QWidget& window);

// Resizes a window to what its contents ask for, within its smallest and
// largest size. (QWidget::adjustSize stops at two thirds of the screen.)
void fitToContents(QWidget& window);

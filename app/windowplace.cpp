#include "app/windowplace.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>

void centreOnScreen(QWidget& window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->geometry().center());
    window.move(frame.topLeft());
}

void fitToContents(QWidget& window)
{
    if (window.layout())
        window.layout()->activate();
    window.resize(window.sizeHint().expandedTo(window.minimumSize()).boundedTo(window.maximumSize()));
}

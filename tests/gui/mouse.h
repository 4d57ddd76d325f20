#pragma once
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

// Sends one mouse event straight to a widget, with the buttons held after it.
inline void sendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
                      Qt::MouseButtons held, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, held, modifiers);
    QApplication::sendEvent(widget, &event);
}

inline void moveMouse(QWidget* w, QPoint at, Qt::MouseButtons held = Qt::NoButton)
{
    sendMouse(w, QEvent::MouseMove, at, Qt::NoButton, held);
}
inline void pressMouse(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    sendMouse(w, QEvent::MouseButtonPress, at, button, button);
}
inline void releaseMouse(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    sendMouse(w, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}
inline void clickMouse(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    moveMouse(w, at);
    pressMouse(w, at, button);
    releaseMouse(w, at, button);
}
inline void doubleClickMouse(QWidget* w, QPoint at)
{
    clickMouse(w, at);
    sendMouse(w, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    releaseMouse(w, at);
}

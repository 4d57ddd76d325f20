#include "app/keyscrollbar.h"

#include <QKeyEvent>

KeyStepScrollBar::KeyStepScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void KeyStepScrollBar::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    SliderAction action = SliderNoAction;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        action = SliderSingleStepSub;
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        action = SliderSingleStepAdd;
        break;
    case Qt::Key_PageUp:
        action = SliderPageStepSub;
        break;
    case Qt::Key_PageDown:
        action = SliderPageStepAdd;
        break;
    case Qt::Key_Home:
        action = SliderToMinimum;
        break;
    case Qt::Key_End:
        action = SliderToMaximum;
        break;
    default:
        QScrollBar::keyPressEvent(event);
        return;
    }
    if (chooser_ && action != SliderToMinimum && action != SliderToMaximum)
        chooser_(key, event->modifiers());
    triggerAction(action);
    event->accept();
}

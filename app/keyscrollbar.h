#pragma once
// A vertical scroll bar whose owner sets the small step for each arrow key
// just before the bar moves by it: Left and Up move back, Right and Down on.
#include <QScrollBar>

#include <functional>

class KeyStepScrollBar : public QScrollBar {
    Q_OBJECT
public:
    using StepChooser = std::function<void(int key, Qt::KeyboardModifiers modifiers)>;

    explicit KeyStepScrollBar(QWidget* parent = nullptr);
    void setStepChooser(StepChooser chooser) { chooser_ = std::move(chooser); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    StepChooser chooser_;
};

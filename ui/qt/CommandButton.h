#pragma once

#include <QPushButton>

// A push button as the program's platform has it: Enter and the keypad's
// Enter click it while it has the focus, as Space does, with no need for a
// dialog's default button.
class CommandButton : public QPushButton
{
    Q_OBJECT

public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

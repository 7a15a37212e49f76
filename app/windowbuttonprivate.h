#pragma once

#include <QIcon>

class WindowButton;

// Private data of WindowButton: the icon for each state and the way back to the button.
class WindowButtonPrivate
{
public:
    explicit WindowButtonPrivate(WindowButton *button) : q_ptr(button) {}

    // Shows the icon of the button's current state; a state without an icon of its own falls back to the
    // normal icon, and without any icon the shown one is left as it is.
    void reloadIcon();

    WindowButton *q_ptr;
    QIcon iconNormal;
    QIcon iconChecked;
    QIcon iconDisabled;
};

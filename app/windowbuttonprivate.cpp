#include "windowbuttonprivate.h"

#include "windowbutton.h"

void WindowButtonPrivate::reloadIcon()
{
    WindowButton *button = q_ptr;
    if (!button->isEnabled() && !iconDisabled.isNull()) {
        button->setIcon(iconDisabled);
        return;
    }
    if (button->isChecked() && !iconChecked.isNull()) {
        button->setIcon(iconChecked);
        return;
    }
    if (!iconNormal.isNull())
        button->setIcon(iconNormal);
}

#include "toolbuttonicon.h"

#include <QIcon>
#include <QToolButton>

void setToolButtonIcon(QToolButton *button, const QString &resourcePath)
{
    button->setIcon(QIcon(resourcePath));
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
}

#include "iconbluetoolbtn.h"

#include <QVariant>

IconBlueToolBtn::IconBlueToolBtn(QWidget *parent) : QToolButton(parent)
{
    setProperty("Type", QStringLiteral("Blue"));
}

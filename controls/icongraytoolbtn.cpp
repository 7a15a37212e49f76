#include "icongraytoolbtn.h"

#include <QVariant>

IconGrayToolBtn::IconGrayToolBtn(QWidget *parent) : QToolButton(parent)
{
    setProperty("Type", QStringLiteral("Gray"));
}

#include "icongraytoolbtn.h"

IconGrayToolBtn::IconGrayToolBtn(QWidget *parent) : QToolButton(parent)
{
    setProperty("Type", QStringLiteral("Gray"));
}

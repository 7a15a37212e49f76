#include "bluepushbtn.h"

BluePushBtn::BluePushBtn(QWidget *parent) : QToolButton(parent)
{
    setProperty("Type", QStringLiteral("Blue"));
}

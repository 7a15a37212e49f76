#include "bluepushbtn.h"

#include <QVariant>

BluePushBtn::BluePushBtn(QWidget *parent) : QToolButton(parent)
{
    setProperty("Type", QStringLiteral("Blue"));
}

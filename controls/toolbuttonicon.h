#pragma once

#include <QString>

class QToolButton;

// Gives a toolbar or picker button its icon at 32 x 32 with the text beside it.
void setToolButtonIcon(QToolButton *button, const QString &resourcePath);

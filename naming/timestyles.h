#pragma once

#include <QString>
#include <QStringList>

// The styles of time numbering: the QDateTime format of each index and the sample the panel shows for it.
int timeStyleCount();
// An index outside the styles falls back to style 0.
QString timeStyleFormat(int index);
QStringList timeStyleSamples();

#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The styles of time numbering: the QDateTime format of each index and the sample the panel shows for it.
int timeStyleCount();
// An index outside the styles falls back to style 0.
QString timeStyleFormat(int index);
QStringList timeStyleSamples();
// time as text in a style, with Latin digits whatever the system language is; empty for an invalid time.
QString timeStyleText(const QDateTime &time, int style);

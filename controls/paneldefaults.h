#pragma once

#include <QStringList>

class QWidget;

// Reset of a settings panel page to the state it had when it was built. recordDefaults() stores the value
// of every known control below root in its "DefaultValue" property; restoreDefaults() puts those values
// back with the controls' ordinary setters (so their change signals fire) and restores the visibility of
// the parts marked with setDefaultVisible(). Widgets whose class name is excluded are left alone.
void setDefaultVisible(QWidget *widget, bool visible);
void recordDefaults(QWidget *root, const QStringList &excludedClassNames = QStringList());
void restoreDefaults(QWidget *root, const QStringList &excludedClassNames = QStringList());

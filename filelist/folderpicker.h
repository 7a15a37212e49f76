#pragma once

#include <QString>
#include <QStringList>

// Lets the user choose one or more folders in one dialog titled title. Returns them in the order chosen,
// or an empty list when the dialog is cancelled.
QStringList pickFolders(const QString &title);

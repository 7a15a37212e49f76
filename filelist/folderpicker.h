#pragma once

#include "filelist/pickerfolders.h"

#include <QString>
#include <QStringList>

class QWidget;

// Lets the user choose one or more folders in one dialog titled title, opened in startFolder (empty: the
// default user folder). Returns them in the order chosen, or an empty list when the dialog is cancelled.
QStringList pickFolders(const QString &title, const QString &startFolder = QString());

// One folder for purpose (an export folder, a creation target), in a dialog that opens where the last one
// for that purpose was chosen and remembers the choice. Empty when cancelled.
QString pickFolder(QWidget *parent, const QString &title, PickerFolders::Purpose purpose);

// A workbook (.xlsx) to import names from, likewise remembered. Empty when cancelled.
QString pickWorkbook(QWidget *parent);

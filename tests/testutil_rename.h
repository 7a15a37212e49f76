#pragma once

#include "rename/customsettings.h"

#include <QByteArray>
#include <QStringList>
#include <QVariant>

#include <functional>

class FileListWidget;

// What the rename tests do as the panel would, and read back as the user would.
namespace RenameTest {

// Notifies a rename key as a panel does after writing its record.
void send(const QString &key, const QVariant &value = QVariant());
// What a panel control does: write the record of its key, then notify the key.
void setCustom(const QString &key, const std::function<void(CustomSettings &)> &edit);
// Every rename record back to its defaults.
void resetRecords();

QStringList columnTexts(const FileListWidget *list, int column);

} // namespace RenameTest

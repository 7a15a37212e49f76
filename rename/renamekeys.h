#pragma once

#include "rename/namerules.h"

#include <QString>
#include <QStringList>
#include <QVector>

// Every key of the rename pages in one table: its hub channel, the rule it selects and whether its list
// holds folders. The settings records, the name rules, the panel and the lists all look keys up here.
struct RenameKey
{
    QString channel;
    NameRules::Rule rule;
    bool folder;
};

const QVector<RenameKey> &renameKeys();
// The key of a channel, or null for any other channel.
const RenameKey *findRenameKey(const QString &channel);
QString renameChannel(NameRules::Rule rule, bool folder);
// The channels a rename list follows: the eight keys, the imported names and the start.
QStringList renameListChannels();

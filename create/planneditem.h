#pragma once

#include "hub/entrystatus.h"

#include <QString>
#include <QVector>

// One folder or file the create page plans to make.
struct PlannedItem
{
    QString name;                  // without extension
    QString id;                    // braced QUuid text, made when the item is planned; identifies the row
    int status = StatusPending;    // EntryStatus: pending when planned, success or failure after a job
};

using PlannedItemList = QVector<PlannedItem>;

#pragma once

#include <QString>

class QObject;
class CNvobesrverApater;

struct ObserverEntry
{
    QString nameSpace;
    QString name;
    QObject *receiver = nullptr;
    CNvobesrverApater *adapter = nullptr;
};

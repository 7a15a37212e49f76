#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

// One adapter per subscription: its signal is connected to the receiver's slot, so deleting the adapter
// ends exactly that subscription.
class CNvobesrverApater : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void notify(const QString &nameSpace, const QString &name, const QVariant &value);
};

#pragma once

#include "filelist/itemlistwidget.h"

#include <QVector>

// A list whose rows show records of type Record, which has at least the fields path, id and status. The
// subclass says how a record is made from a path and how it fills its row; the rest is shared.
template<typename Record>
class RecordListWidget : public ItemListWidget
{
public:
    using ItemListWidget::ItemListWidget;

    // Row i shows record i.
    QVector<Record> &records() { return m_records; }
    const QVector<Record> &records() const { return m_records; }

protected:
    virtual Record makeRecord(const QString &path) const = 0;

    int recordCount() const override { return m_records.size(); }
    QString recordPath(int index) const override { return m_records.at(index).path; }
    QString recordId(int index) const override { return m_records.at(index).id; }
    int recordStatus(int row) const override { return m_records.at(row).status; }
    void appendRecord(const QString &path) override { m_records.append(makeRecord(path)); }
    void removeRecord(int index) override { m_records.removeAt(index); }
    void moveRecord(int from, int to) override { m_records.insert(to, m_records.takeAt(from)); }
    void clearRecords() override { m_records.clear(); }

    QVector<Record> m_records;
};

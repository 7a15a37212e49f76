#pragma once

#include "filelist/itemlistwidget.h"

#include <QFileInfo>
#include <QVector>

#include <type_traits>

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
    void relocateRecord(int index, const QString &newPath) override
    {
        Record &record = m_records[index];
        const QString oldName = QFileInfo(record.path).fileName();
        const QString newName = QFileInfo(newPath).fileName();
        record.path = newPath;
        if (oldName != newName)
            renameRecord(record, oldName, newName);
    }
    // The item of record was itself renamed: the record's own name fields follow.
    virtual void renameRecord(Record &record, const QString &oldName, const QString &newName)
    {
        Q_UNUSED(oldName)
        if constexpr (hasNameField<Record>(0))
            record.name = newName;
    }

    QVector<Record> m_records;

private:
    template<typename R>
    static constexpr auto hasNameField(int) -> decltype(std::declval<R>().name, bool())
    {
        return true;
    }
    template<typename R>
    static constexpr bool hasNameField(...)
    {
        return false;
    }
};

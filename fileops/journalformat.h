#pragma once

#include "fileops/jobjournal.h"

#include <QPair>

// The text of a job journal: a plan, whose last line says how many items it holds, then one line per step
// of progress. Paths and identities are kept as percent-encoded bytes, so any name a file system allows,
// line breaks included, reads back unchanged. A plan without its last line was never complete: its job had
// not started.
namespace JournalFormat {

struct Contents
{
    bool readable = false;
    JobJournal::Kind kind = JobJournal::Rename;
    QString page;
    QDateTime started;
    QString source;
    QVector<JobJournal::Item> items;
    QVector<QString> done; // per item: where it was when its step was over; empty while it was not
    // per item: every temporary name it took on record, with the identity of what was there
    QVector<QVector<QPair<QString, QByteArray>>> asides;
    int doneCount = 0;
};

QString suffix();
QString kindName(JobJournal::Kind kind);
// places, when given, receives where each item's place (its `to`, or its `from` where it has no `to`) is
// written in the plan (start and size), for its done line to copy.
QByteArray plan(JobJournal::Kind kind, const QString &page, const QDateTime &started, const QString &source,
                const QVector<JobJournal::Item> &items, QVector<QPair<int, int>> *places = nullptr);
QByteArray asideLine(int index, const QString &temporary, const QByteArray &identity);
// Appends the progress line of item index, done and now at where, to text.
void appendDoneLine(QByteArray &text, int index, const QString &where);
// The same for an item now at its place in the plan, copied from the plan's text.
void appendDoneLine(QByteArray &text, int index, const QByteArray &plan, const QPair<int, int> &place);
Contents parse(const QByteArray &text);

} // namespace JournalFormat

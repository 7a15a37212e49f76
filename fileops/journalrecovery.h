#pragma once

#include "fileops/jobjournal.h"

#include <QStringList>

// Puts back, or finishes, the jobs whose journals were left behind (the program was killed, the machine lost
// power). Every item is found on disk by its identity wherever the job left it (its old or new name, a
// temporary name, inside a folder the job renamed); nothing is done to an item that is not the one the job
// planned for.
class JournalRecovery
{
public:
    struct Found
    {
        QString path; // the journal file
        JobJournal::Kind kind;
        QString page;
        QDateTime started;
        int items = 0;
        int done = 0;
    };

    enum Choice {
        Restore,  // every item of the batch back as it was before the job
        Complete, // the steps the job did not do, done
    };

    // What recovery did with one item: path is where the item is now (or was looked for).
    struct Row
    {
        QString path;
        bool ok = false;
        QString message; // the cause of a failure, or a note on a success (another name given)
    };

    // The journals left by jobs that did not end, oldest first. A journal that cannot be read is renamed aside
    // (".unreadable" added to its name, never deleted) and its new path added to setAside; one whose job is
    // still running in another instance of the program is left out.
    static QVector<Found> pending(QStringList *setAside = nullptr, const QString &folder = JobJournal::folder());

    // Carries out choice for the journal at path, then removes the journal. An unreadable journal is set aside
    // as pending() does and gives no rows.
    static QVector<Row> recover(const QString &path, Choice choice);

    static QString notFoundMessage(const QString &path);
    static QString blockedMessage(const QString &path, const QString &where);
    static QString otherNameMessage(const QString &wanted, const QString &given);
    static QString deniedMessage(const QString &path);
    static QString replacedMessage(const QString &path);
    static QString editedMessage(const QString &path);
    static QString keptMessage(const QString &path);
};

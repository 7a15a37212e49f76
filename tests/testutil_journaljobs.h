#pragma once

// The jobs the recovery test runs in a program of their own, shared by that program and the test: which
// items each job starts from and what each will be after the job.

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>
#include <QStringList>

namespace JournalJobs {

// The planned new name of every item of a rename job, by its name now.
inline QMap<QString, QString> renamePlan(const QString &job)
{
    QMap<QString, QString> plan;
    const auto name = [](const QString &stem, int i) {
        return stem + QStringLiteral("%1.txt").arg(i, 5, 10, QLatin1Char('0'));
    };
    if (job == QLatin1String("ring")) {
        for (int i = 0; i < 5; ++i)
            plan.insert(name(QStringLiteral("r"), i), name(QStringLiteral("r"), (i + 1) % 5));
    } else if (job == QLatin1String("chain")) {
        for (int i = 0; i < 5; ++i)
            plan.insert(name(QStringLiteral("c"), i), name(QStringLiteral("c"), i + 1));
    } else if (job == QLatin1String("swap")) {
        for (int i = 0; i < 3; ++i) {
            plan.insert(name(QStringLiteral("a"), i), name(QStringLiteral("b"), i));
            plan.insert(name(QStringLiteral("b"), i), name(QStringLiteral("a"), i));
        }
    } else if (job == QLatin1String("many")) {
        // 3000 items: 300 rings of three, 120 chains of five, 400 swaps, 700 plain renames.
        for (int i = 0; i < 900; ++i)
            plan.insert(name(QStringLiteral("r"), i), name(QStringLiteral("r"), i / 3 * 3 + (i + 1) % 3));
        for (int i = 0; i < 720; ++i) {
            if (i % 6 != 5)
                plan.insert(name(QStringLiteral("c"), i), name(QStringLiteral("c"), i + 1));
        }
        for (int i = 0; i < 800; i += 2) {
            plan.insert(name(QStringLiteral("p"), i), name(QStringLiteral("p"), i + 1));
            plan.insert(name(QStringLiteral("p"), i + 1), name(QStringLiteral("p"), i));
        }
        for (int i = 0; i < 700; ++i)
            plan.insert(name(QStringLiteral("q"), i), name(QStringLiteral("n"), i));
    }
    return plan;
}

inline bool isRenameJob(const QString &job)
{
    return !renamePlan(job).isEmpty();
}

// The names the create job makes, without extension.
inline QStringList createNames()
{
    QStringList names;
    for (int i = 0; i < 40; ++i)
        names.append(QStringLiteral("doc%1").arg(i));
    return names;
}

// The names the time job changes.
inline QStringList timeNames()
{
    QStringList names;
    for (int i = 0; i < 200; ++i)
        names.append(QStringLiteral("t%1.txt").arg(i));
    return names;
}

// Every entry of folder, hidden ones included, with a checksum of its contents.
inline QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> entries;
    const QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        QFile file(folder + QLatin1Char('/') + name);
        if (!file.open(QIODevice::ReadOnly)) {
            entries.insert(name, QByteArray("<unreadable>"));
            continue;
        }
        entries.insert(name, QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex());
    }
    return entries;
}

} // namespace JournalJobs

#pragma once

#include <QHash>
#include <QSet>
#include <QString>

#include <functional>

// The first free variant of target: target itself when nothing has that path, otherwise the name with a
// counter in brackets before the extension, counting on from counter: a.txt, a(1).txt, a(2).txt; a folder
// rel.2 becomes rel(1).2. self is the item that is about to take the name, if any: where the file system
// ignores letter case, A.txt answers for the item a.txt itself, and an item is no conflict with itself.
QString uniqueName(const QString &target, int counter = 0, const QString &self = QString());

// Resolves the names of one batch as uniqueName does, but remembers for each name where its counter stands,
// so that many rows proposing one name cost a probe or two each instead of a walk from "(1)" every time.
// Every answer is still checked against the disk; a name is never handed out while something has it.
// Names the batch has taken (or will take, for a preview that renames nothing) are told with markTaken.
class UniqueNameAllocator
{
public:
    // Whether something other than self has path, as uniqueName asks the disk.
    using Occupancy = std::function<bool(const QString &path, const QString &self)>;

    UniqueNameAllocator() = default;
    // Asks occupied instead of the disk: a preview works out what a batch will do from one reading of its
    // folders, with the items moved where the batch will have moved them.
    explicit UniqueNameAllocator(Occupancy occupied);

    // The name resolution gives target now: target itself when it is free (or is self), otherwise the first
    // free variant past the counters this allocator already knows to be taken. Asking again without a
    // markTaken in between gives the same answer unless the disk changed.
    QString resolve(const QString &target, const QString &self = QString());
    // path is taken from now on, whatever the disk says.
    void markTaken(const QString &path);
    // Whether this allocator has the name as taken already (handed out, or marked).
    bool marked(const QString &path) const { return m_taken.contains(path); }
    void clear();

private:
    bool isTaken(const QString &path, const QString &self) const;

    QHash<QString, int> m_counters; // per name without its counter: every counter up to this one is taken
    QSet<QString> m_taken;
    Occupancy m_occupied;
    // How the target asked last splits around its counter: rows proposing one name ask for it over and over.
    QString m_lastTarget;
    QString m_lastStem;
    QString m_lastExtension;
    QString m_lastKey;
};

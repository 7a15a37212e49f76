#include "uniquename.h"

#include "fileops/safefileops.h"

#include <QFileInfo>

namespace {

bool takenOnDisk(const QString &path, const QString &self)
{
    if (!pathOccupied(path))
        return false;
    return self.isEmpty() || !isSameEntry(self, path);
}

// The parts a counter goes between: "folder/name(" and ")" + extension.
struct Variants
{
    QString stem;
    QString extension;

    QString at(int counter) const
    {
        return stem + QString::number(counter) + QLatin1Char(')') + extension;
    }
};

Variants variantsOf(const QString &target)
{
    const QFileInfo info(target);
    // A name that is all extension (".gitignore") keeps its form: the counter goes behind it.
    const bool dotName = info.completeBaseName().isEmpty();
    const QString suffix = dotName ? QString() : info.suffix();
    const QString base = dotName ? info.fileName() : info.completeBaseName();
    return {info.absolutePath() + QLatin1Char('/') + base + QLatin1Char('('),
            suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix};
}

} // namespace

QString uniqueName(const QString &target, int counter, const QString &self)
{
    if (!takenOnDisk(target, self))
        return target;
    const Variants variants = variantsOf(target);
    for (;;) {
        const QString candidate = variants.at(++counter);
        if (!takenOnDisk(candidate, self))
            return candidate;
    }
}

UniqueNameAllocator::UniqueNameAllocator(Occupancy occupied) : m_occupied(std::move(occupied))
{
}

QString UniqueNameAllocator::resolve(const QString &target, const QString &self)
{
    if (!isTaken(target, self))
        return target;
    if (target != m_lastTarget || m_lastKey.isEmpty()) {
        const Variants parts = variantsOf(target);
        m_lastTarget = target;
        m_lastStem = parts.stem;
        m_lastExtension = parts.extension;
        m_lastKey = parts.stem + QLatin1Char('\0') + parts.extension;
    }
    const Variants variants{m_lastStem, m_lastExtension};
    int &counter = m_counters[m_lastKey];
    for (;;) {
        const QString candidate = variants.at(counter + 1);
        if (!isTaken(candidate, self))
            return candidate;
        ++counter;
    }
}

void UniqueNameAllocator::markTaken(const QString &path)
{
    m_taken.insert(path);
}

void UniqueNameAllocator::clear()
{
    m_counters.clear();
    m_taken.clear();
    m_lastTarget.clear();
    m_lastKey.clear();
}

bool UniqueNameAllocator::isTaken(const QString &path, const QString &self) const
{
    if (m_taken.contains(path))
        return true;
    return m_occupied ? m_occupied(path, self) : takenOnDisk(path, self);
}

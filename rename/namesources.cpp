#include "namesources.h"

#include "rename/textconversions.h"

#include <QFileInfo>

namespace {

QDateTime itemCreationTime(const QString &path)
{
    return QFileInfo(path).birthTime();
}

QDateTime itemModificationTime(const QString &path)
{
    return QFileInfo(path).lastModified();
}

NameSources makeSystemSources()
{
    NameSources sources;
    sources.currentTime = &QDateTime::currentDateTime;
    sources.creationTime = &itemCreationTime;
    sources.modificationTime = &itemModificationTime;
    sources.randomText = &randomString;
    sources.pinyin = &toPinyin;
    sources.traditional = &toTraditional;
    sources.simplified = &toSimplified;
    return sources;
}

} // namespace

const NameSources &NameSources::system()
{
    static const NameSources sources = makeSystemSources();
    return sources;
}

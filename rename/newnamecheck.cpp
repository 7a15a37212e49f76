#include "newnamecheck.h"

#include <QFile>

bool lacksNamePart(const QString &name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    for (int i = 0; i < dot; ++i) {
        if (name.at(i) != QLatin1Char('.'))
            return false;
    }
    return true;
}

int nameSizeOnDisk(const QString &name)
{
#ifdef Q_OS_WIN
    return name.size();
#else
    return QFile::encodeName(name).size();
#endif
}

NameRefusal newNameRefusal(const QString &newName, const QString &oldName, bool isFolder)
{
    if (newName == QLatin1String(".") || newName == QLatin1String(".."))
        return NameRefusal::DotName;
    if (newName.contains(QLatin1Char('/')))
        return NameRefusal::Separator;
#ifdef Q_OS_WIN
    if (newName.contains(QLatin1Char('\\')))
        return NameRefusal::Separator;
#endif
    if (newName.contains(QChar(0)))
        return NameRefusal::NulCharacter;
    if (!isFolder && lacksNamePart(newName) && !lacksNamePart(oldName))
        return NameRefusal::MissingNamePart;
    if (nameSizeOnDisk(newName) > kMaxNameSize)
        return NameRefusal::TooLong;
    return NameRefusal::None;
}

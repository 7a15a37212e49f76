#include "fileiconcache.h"

#include <QFileInfo>

namespace {

bool hasOwnIcon(const QString &suffix)
{
    static const QStringList own = {QStringLiteral("exe"), QStringLiteral("lnk"), QStringLiteral("ico"),
                                    QStringLiteral("url"), QStringLiteral("cur"), QStringLiteral("ani")};
    return own.contains(suffix);
}

} // namespace

QIcon FileIconCache::icon(const QFileInfo &info)
{
    const QString suffix = info.suffix().toLower();
    if (!info.isDir() && hasOwnIcon(suffix))
        return m_provider.icon(info);

    QString kind = info.isDir() ? QStringLiteral("d") : QStringLiteral("f");
    if (info.isSymLink())
        kind += QLatin1Char('l');
    if (!info.isDir())
        kind += QLatin1Char(':') + suffix;

    auto it = m_icons.constFind(kind);
    if (it != m_icons.constEnd())
        return it.value();
    const QIcon icon = m_provider.icon(info);
    m_icons.insert(kind, icon);
    return icon;
}

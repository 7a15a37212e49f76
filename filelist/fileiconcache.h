#pragma once

#include <QFileIconProvider>
#include <QHash>
#include <QIcon>

class QFileInfo;

// System icons looked up once per kind of item (folder, or file of a given extension) rather than once
// per item: the lookup costs far more than the row it decorates. Kinds whose icon belongs to the single
// file (programs, shortcuts, icon files) are looked up every time.
class FileIconCache
{
public:
    QIcon icon(const QFileInfo &info);

private:
    QFileIconProvider m_provider;
    QHash<QString, QIcon> m_icons;
};

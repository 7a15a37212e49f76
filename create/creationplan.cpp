#include "creationplan.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>

namespace {

const char *const templates[creationTypeCount] = {
    "template/folder", "template/Word.docx", "template/Excel.xlsx",
    "template/PPT.pptx", "template/PDF.pdf", "template/Txt.txt",
};

bool isKnownType(int type)
{
    return type >= 0 && type < creationTypeCount;
}

} // namespace

QStringList creationTypeNames()
{
    return {QStringLiteral("文件夹"), QStringLiteral("Word"), QStringLiteral("Excel"),
            QStringLiteral("PPT"), QStringLiteral("PDF"), QStringLiteral("TXT记事本")};
}

QString creationTemplate(int type)
{
    return isKnownType(type) ? QString::fromLatin1(templates[type]) : QString();
}

QString creationExtension(int type)
{
    const QString suffix = QFileInfo(creationTemplate(type)).suffix();
    return suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix;
}

QString defaultTargetFolder()
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        return desktop;
    return QDir::homePath();
}

PlannedItemList plannedItems(const QStringList &names)
{
    PlannedItemList items;
    items.reserve(names.size());
    for (const QString &name : names)
        items.append({name, QUuid::createUuid().toString(), StatusPending});
    return items;
}

CreationPlan &importPlan()
{
    static CreationPlan plan;
    return plan;
}

CreationPlan &customPlan()
{
    static CreationPlan plan;
    return plan;
}

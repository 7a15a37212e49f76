#include "entrystatus.h"

#include <QCoreApplication>

QString entryStatusText(int status)
{
    switch (status) {
    case StatusSuccess:
        return QStringLiteral("成功");
    case StatusFailed:
        return QStringLiteral("失败");
    case StatusRunning:
        return QStringLiteral("进行中");
    case StatusMissing:
        return QStringLiteral("文件不存在");
    case StatusSkipped:
        return QStringLiteral("跳过");
    default:
        return QStringLiteral("待操作");
    }
}

#include "testutil_rename.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "filelist/customtabelwidget.h"
#include "rename/filelistwidget.h"
#include "rename/renamekeys.h"
#include "rename/renamesettings.h"

#include <QDir>
#include <QFile>

namespace RenameTest {

void send(const QString &key, const QVariant &value)
{
    CNvGlobalObserver::instance()->notifyObservers(key, Channel::RenameValueUpdate, value);
}

void setCustom(const QString &key, const std::function<void(CustomSettings &)> &edit)
{
    CustomSettings settings;
    edit(settings);
    *customSettings(key) = settings;
    send(key);
}

void resetRecords()
{
    for (const RenameKey &key : renameKeys()) {
        if (CustomSettings *s = customSettings(key.channel))
            *s = CustomSettings();
        if (ReplaceSettings *s = replaceSettings(key.channel))
            *s = ReplaceSettings();
        if (DeleteSettings *s = deleteSettings(key.channel))
            *s = DeleteSettings();
    }
}

QStringList columnTexts(const FileListWidget *list, int column)
{
    QStringList texts;
    for (int row = 0; row < list->table()->rowCount(); ++row)
        texts.append(list->table()->item(row, column)->text());
    return texts;
}

} // namespace RenameTest

#include "pickerfolders.h"

#include "startfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace PickerFolders {

namespace {

QString key(Purpose purpose)
{
    switch (purpose) {
    case Purpose::AddFiles:
        return QStringLiteral("pickers/addFiles");
    case Purpose::AddFolder:
        return QStringLiteral("pickers/addFolder");
    case Purpose::ImportWorkbook:
        return QStringLiteral("pickers/importWorkbook");
    case Purpose::ExportFolder:
        return QStringLiteral("pickers/exportFolder");
    case Purpose::CreateTarget:
        return QStringLiteral("pickers/createTarget");
    }
    return QString();
}

} // namespace

QString startFolder(Purpose purpose)
{
    const QString remembered = QSettings().value(key(purpose)).toString();
    // A folder removed or unmounted since would open the dialog somewhere arbitrary.
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return remembered;
    return defaultUserFolder();
}

void rememberFolder(Purpose purpose, const QString &folder)
{
    if (folder.isEmpty())
        return;
    QSettings().setValue(key(purpose), QDir::fromNativeSeparators(folder));
}

void rememberFile(Purpose purpose, const QString &file)
{
    if (file.isEmpty())
        return;
    rememberFolder(purpose, QFileInfo(QDir::fromNativeSeparators(file)).absolutePath());
}

} // namespace PickerFolders

#include "folderpicker.h"

#include "filelist/startfolder.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFileDialog>

QStringList pickFolders(const QString &title)
{
    // Qt's own dialog, because the platform's folder choosers take only one folder at a time.
    QFileDialog dialog(QApplication::activeWindow(), title, defaultUserFolder());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    const auto views = dialog.findChildren<QAbstractItemView *>();
    for (QAbstractItemView *view : views) {
        if (view->objectName() == QLatin1String("listView") || view->objectName() == QLatin1String("treeView"))
            view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    QStringList folders;
    const QStringList chosen = dialog.selectedFiles();
    for (const QString &folder : chosen) {
        if (!folder.isEmpty())
            folders.append(folder);
    }
    return folders;
}

#include "folderpicker.h"

#include "filelist/startfolder.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFileDialog>

QStringList pickFolders(const QString &title, const QString &startFolder)
{
    // Qt's own dialog, because the platform's folder choosers take only one folder at a time.
    QFileDialog dialog(QApplication::activeWindow(), title,
                       startFolder.isEmpty() ? defaultUserFolder() : startFolder);
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

QString pickFolder(QWidget *parent, const QString &title, PickerFolders::Purpose purpose)
{
    const QString folder = QFileDialog::getExistingDirectory(parent, title, PickerFolders::startFolder(purpose),
                                                             QFileDialog::ShowDirsOnly);
    PickerFolders::rememberFolder(purpose, folder);
    return folder;
}

QString pickWorkbook(QWidget *parent)
{
    using PickerFolders::Purpose;
    const QString path =
        QFileDialog::getOpenFileName(parent, QStringLiteral("打开"),
                                     PickerFolders::startFolder(Purpose::ImportWorkbook), QStringLiteral("*.xlsx"));
    PickerFolders::rememberFile(Purpose::ImportWorkbook, path);
    return path;
}

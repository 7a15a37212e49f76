// Usage: panelshots <output folder>
// Writes <folder>/<mode>-<page>.png (tall enough to show the whole page) and <folder>/<mode>-<page>-short.png
// (a small window, showing the scroll bar) for every page of the rename panel in file and folder mode.
#include "rename/import.h"
#include "rename/renamepropertywidget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QPixmap>
#include <QSpinBox>
#include <QTextStream>
#include <QVBoxLayout>

namespace {

void applyStyleSheet(QApplication &app)
{
    QFile file(QStringLiteral(":/qss/main.qss"));
    if (file.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromLatin1(file.readAll()));
}

void shoot(const QString &folder, const QString &name, bool folderMode, const QString &button, int height,
           const std::function<void(RenamePropertyWidget *)> &prepare = {})
{
    QMainWindow window;
    window.setObjectName(QStringLiteral("MainWindow"));
    auto *host = new QWidget(&window);
    auto *layout = new QVBoxLayout(host);
    layout->setContentsMargins(16, 16, 16, 16);
    auto *panel = new RenamePropertyWidget(host);
    panel->setFolderMode(folderMode);
    layout->addWidget(panel);
    window.setCentralWidget(host);
    window.resize(panel->minimumWidth() + 32, height);
    window.show();
    if (auto *modeButton = panel->findChild<QWidget *>(QStringLiteral("btnGroupWidget"))
                               ->findChild<QAbstractButton *>(button))
        modeButton->click();
    if (prepare)
        prepare(panel);
    // Nested layouts settle over several rounds of layout requests.
    for (int round = 0; round < 5; ++round)
        QApplication::processEvents();
    window.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    applyStyleSheet(app);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    const QStringList buttons = {"custormBtn", "insertBtn", "replaceBtn", "deleteBtn", "importBtn"};
    for (bool folderMode : {false, true}) {
        const QString mode = folderMode ? QStringLiteral("folder") : QStringLiteral("file");
        for (const QString &button : buttons) {
            QString page = button;
            page.chop(3);
            shoot(folder, mode + '-' + page, folderMode, button, 1500);
            shoot(folder, mode + '-' + page + "-short", folderMode, button, 700);
        }
    }
    // The sections switched on, with the less common choices shown.
    shoot(folder, "file-custorm-enabled", false, "custormBtn", 1500, [](RenamePropertyWidget *panel) {
        for (const char *name : {"numberSetCheck", "suffixCheckBox"})
            panel->findChild<QWidget *>("custormPage")->findChild<QWidget *>(name)
                ->findChild<QAbstractButton *>()->click();
        panel->findChild<QWidget *>("custormPage")->findChild<QAbstractButton *>("custormPosBtn")->click();
        panel->findChild<QWidget *>("custormPage")->findChild<QAbstractButton *>("charBtn")->click();
        panel->findChild<QWidget *>("custormPage")->findChild<QAbstractButton *>("replaceBtn")->click();
        panel->setStartEnabled(true);
    });
    shoot(folder, "file-insert-custom-position", false, "insertBtn", 1500, [](RenamePropertyWidget *panel) {
        panel->findChild<QWidget *>("insertPage")->findChild<QAbstractButton *>("insertCustormPosBtn")->click();
    });
    shoot(folder, "file-delete-position", false, "deleteBtn", 1500, [](RenamePropertyWidget *panel) {
        panel->findChild<QWidget *>("deletePage")->findChild<QAbstractButton *>("assignPosBtn")->click();
    });
    shoot(folder, "file-import-chosen", false, "importBtn", 1000, [](RenamePropertyWidget *panel) {
        panel->findChild<Import *>("importPage")
            ->setWorkbook(QStringLiteral("/home/someone/Documents/rename lists/2024 quarterly reports names.xlsx"));
    });
    return 0;
}

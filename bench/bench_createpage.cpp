// The create page in a shown window with the program's stylesheet, driven through its controls:
// (a) a keystroke in the base name with 3000 planned items: the plan is regenerated, announced, the list
//     rebuilt and its visible rows repainted;
// (b) "开始生成" on 3000 folders and on 3000 files from the staged Word template (the job with its status
//     cells and paced repaints), against a bare mkdir loop and a bare exclusive-create-and-copy loop on the
//     same disk in the same run.
// Run from build/bin so the templates are found: ../bench/bench_createpage [rounds] [folder to work in]
#include "create/createfileempty.h"
#include "create/createfilepage.h"
#include "create/createfilepagewidget.h"
#include "create/createfilepropertywidget.h"
#include "create/creationplan.h"
#include "create/custormcreate.h"
#include "filelist/customtabelwidget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr int kItems = 3000;

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}

double worst(const QVector<double> &v)
{
    return v.isEmpty() ? 0 : *std::max_element(v.begin(), v.end());
}

double ms(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

void die(const char *what)
{
    std::perror(what);
    std::exit(1);
}

QString freshFolder(const QString &base, const QString &label)
{
    const QString folder = base + QLatin1Char('/') + label;
    QDir(folder).removeRecursively();
    if (!QDir().mkpath(folder))
        die("mkpath");
    return folder;
}

QVector<QByteArray> encodedPaths(const QString &folder, const QString &extension)
{
    QVector<QByteArray> paths;
    for (int i = 0; i < kItems; ++i)
        paths.append(QFile::encodeName(folder + QStringLiteral("/新建文件%1").arg(i, 4, 10, QLatin1Char('0')) + extension));
    return paths;
}

#ifndef Q_OS_WIN
double bareFolders(const QVector<QByteArray> &paths)
{
    QElapsedTimer timer;
    timer.start();
    for (const QByteArray &path : paths) {
        if (::mkdir(path.constData(), 0777) != 0)
            die("mkdir");
    }
    return ms(timer);
}

double bareFiles(const QVector<QByteArray> &paths, const QByteArray &templatePath)
{
    char buffer[64 * 1024];
    QElapsedTimer timer;
    timer.start();
    for (const QByteArray &path : paths) {
        const int from = ::open(templatePath.constData(), O_RDONLY | O_CLOEXEC);
        const int to = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (from < 0 || to < 0)
            die("open");
        for (ssize_t n; (n = ::read(from, buffer, sizeof buffer)) > 0;) {
            if (::write(to, buffer, size_t(n)) != n)
                die("write");
        }
        ::close(from);
        if (::close(to) != 0)
            die("close");
    }
    return ms(timer);
}
#endif

template<typename T>
T *control(QWidget *root, const char *name)
{
    auto *widget = root->findChild<T *>(QLatin1String(name));
    if (!widget) {
        std::fprintf(stderr, "no %s\n", name);
        std::exit(1);
    }
    return widget;
}

} // namespace

int main(int argc, char *argv[])
{
    // Without a display the window is drawn offscreen, at the same cost.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QFile qss(QStringLiteral(":/qss/main.qss"));
    if (qss.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromUtf8(qss.readAll()));
    const QStringList args = app.arguments();
    const int rounds = args.size() > 1 ? qMax(1, args.at(1).toInt()) : 5;
    const QString base = args.value(2);
    const auto dir = base.isEmpty() ? std::make_unique<QTemporaryDir>()
                                    : std::make_unique<QTemporaryDir>(base + QStringLiteral("/bench-XXXXXX"));
    if (!dir->isValid())
        return 1;
    const QString root = dir->path();
    const QString templates = QDir::currentPath();
    const QString wordTemplate = templates + QStringLiteral("/template/Word.docx");
    if (!QFileInfo::exists(wordTemplate)) {
        std::fprintf(stderr, "run from build/bin: %s is missing\n", qPrintable(wordTemplate));
        return 1;
    }

    CreateFilePage page;
    page.resize(1400, 860);
    page.show();
    if (!QTest::qWaitForWindowExposed(&page))
        return 1;
    CreateFileEmpty *list = page.editWidget()->fileList();
    list->setDataFolder(templates);
    QWidget *custom = page.propertyWidget()->custormPage();
    QTest::mouseClick(control<QAbstractButton>(page.propertyWidget(), "custormBtn"), Qt::LeftButton);
    QTest::mouseClick(control<QAbstractButton>(custom, "lastBtn"), Qt::LeftButton);
    control<QSpinBox>(custom, "incrementNumberSpinBox")->setValue(1);
    control<QSpinBox>(custom, "numberCountSpinBox")->setValue(4);
    control<QSpinBox>(custom, "createCountSpinBox")->setValue(kItems);
    auto *name = control<QLineEdit>(custom, "createNamelineEdit");
    auto *type = control<QComboBox>(custom, "exportTypeCombox");
    QApplication::processEvents();

    QVector<double> keystroke;
    QVector<double> folderJob, fileJob, folderFloor, fileFloor;
    for (int round = 0; round < rounds; ++round) {
        // (a) ten keystrokes: typing and deleting one character at the end of the base name.
        name->setFocus();
        name->end(false);
        for (int k = 0; k < 10; ++k) {
            QElapsedTimer timer;
            timer.start();
            QTest::keyClick(name, k % 2 == 0 ? Qt::Key_A : Qt::Key_Backspace);
            list->table()->viewport()->repaint();
            keystroke.append(ms(timer));
            if (list->table()->rowCount() != kItems)
                die("rows");
        }
#ifndef Q_OS_WIN
        folderFloor.append(bareFolders(encodedPaths(freshFolder(root, QStringLiteral("bare")), QString())));
        fileFloor.append(bareFiles(encodedPaths(freshFolder(root, QStringLiteral("bare")), QStringLiteral(".docx")),
                                   QFile::encodeName(wordTemplate)));
#endif
        // (b) the job through the start button, into a fresh folder each time.
        for (int kind = 0; kind < 2; ++kind) {
            const QString target = freshFolder(root, QStringLiteral("job"));
            customPlan().targetFolder = target;
            customPlan().creationType = kind == 0 ? CreateFolder : CreateWord;
            type->setCurrentIndex(customPlan().creationType);
            // Clicking the checked mode button again makes the list adopt the plan as it now is.
            QTest::mouseClick(control<QAbstractButton>(page.propertyWidget(), "custormBtn"), Qt::LeftButton);
            QApplication::processEvents();
            QElapsedTimer timer;
            timer.start();
            QTest::mouseClick(control<QAbstractButton>(page.propertyWidget(), "setBtn"), Qt::LeftButton);
            (kind == 0 ? folderJob : fileJob).append(ms(timer));
            if (QDir(target).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size() != kItems)
                die("job");
        }
    }

    std::printf("create page, %d items, %d rounds (median / worst, ms)\n", kItems, rounds);
    std::printf("%-46s %9s %9s %9s %8s\n", "measure", "median", "worst", "x floor", "target");
    const auto line = [](const char *label, const QVector<double> &v, double floor, const char *target) {
        std::printf("%-46s %9.2f %9.2f %9s %8s\n", label, median(v), worst(v),
                    floor > 0 ? qPrintable(QString::number(median(v) / floor, 'f', 2)) : "-", target);
    };
    line("keystroke in base name: regenerate + show", keystroke, 0, "<= 50");
    line("bare mkdir loop", folderFloor, 0, "");
    line("start: 3000 folders (job + statuses)", folderJob, median(folderFloor), "<= 3x");
    line("bare exclusive-create-and-copy loop", fileFloor, 0, "");
    line("start: 3000 Word files (job + statuses)", fileJob, median(fileFloor), "<= 3x");
    return 0;
}

#include "app/applicationstartup.h"
#include "filelist/startfolder.h"
#include "filelist/folderpicker.h"
#include "testutil_filelist.h"
#include "testutil_modal.h"

#include <QAbstractItemView>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// WCAG contrast ratio of two colours: 1 (same) to 21 (black on white).
double contrast(const QColor &a, const QColor &b)
{
    auto luminance = [](const QColor &c) {
        auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a) + 0.05;
    const double lb = luminance(b) + 0.05;
    return la > lb ? la / lb : lb / la;
}

// Text drawn with some transparency lands on the background it is drawn over.
QColor over(const QColor &text, const QColor &background)
{
    const double alpha = text.alphaF();
    return QColor::fromRgbF(text.redF() * alpha + background.redF() * (1 - alpha),
                            text.greenF() * alpha + background.greenF() * (1 - alpha),
                            text.blueF() * alpha + background.blueF() * (1 - alpha));
}

struct Legibility
{
    QStringList problems;
    int views = 0;
    int buttons = 0;
};

Legibility inspect(QDialog *dialog)
{
    Legibility result;
    const double enough = 4.5;
    for (QAbstractItemView *view : dialog->findChildren<QAbstractItemView *>()) {
        if (!view->isVisible())
            continue;
        ++result.views;
        const QPalette p = view->palette();
        const QColor base = p.color(QPalette::Base);
        const double c = contrast(over(p.color(QPalette::Text), base), base);
        if (c < enough)
            result.problems.append(QStringLiteral("view %1: %2").arg(view->objectName()).arg(c));
    }
    for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
        if (!button->isVisible() || !button->isEnabled())
            continue;
        ++result.buttons;
        const QPalette p = button->palette();
        const QColor face = p.color(QPalette::Button);
        const double c = contrast(over(p.color(QPalette::ButtonText), face), face);
        if (c < enough)
            result.problems.append(QStringLiteral("button %1: %2").arg(button->text()).arg(c));
    }
    const QColor window = dialog->palette().color(QPalette::Window);
    for (QLabel *label : dialog->findChildren<QLabel *>()) {
        if (!label->isVisible() || label->text().isEmpty())
            continue;
        const double c = contrast(over(label->palette().color(QPalette::WindowText), window), window);
        if (c < enough)
            result.problems.append(QStringLiteral("label %1: %2").arg(label->text()).arg(c));
    }
    return result;
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void pickersAreLegible_data();
    void pickersAreLegible();
    void startFolderFallsBackToHome();
};

void TestDialogs::initTestCase()
{
    ApplicationStartup::applyStyleSheet(*qApp, QStringLiteral(":/qss/main.qss"));
    QVERIFY(!qApp->styleSheet().isEmpty());
}

void TestDialogs::pickersAreLegible_data()
{
    QTest::addColumn<bool>("folders");
    QTest::newRow("file dialog") << false;
    QTest::newRow("folder picker") << true;
}

void TestDialogs::pickersAreLegible()
{
    QFETCH(bool, folders);
    QTemporaryDir dir;
    FileListTest::makeFile(dir.path(), "报告.txt");
    FileListTest::makeDir(dir.path(), "文件夹");
    Legibility seen;
    ModalAnswerer answerer(folders ? "folder picker" : "file dialog", [&](QDialog *dialog) {
        if (auto *fileDialog = qobject_cast<QFileDialog *>(dialog))
            fileDialog->setDirectory(dir.path());
        QCoreApplication::processEvents();
        seen = inspect(dialog);
        if (qEnvironmentVariableIsSet("QUORLIN_SHOTS"))
            dialog->grab().save(QStringLiteral("%1/dialog-%2.png").arg(qEnvironmentVariable("QUORLIN_SHOTS")).arg(folders));
        dialog->reject();
    });
    if (folders)
        pickFolders(QStringLiteral("选择目录"));
    else
        QFileDialog::getOpenFileNames(nullptr, QStringLiteral("打开"), dir.path(), QString(), nullptr,
                                      QFileDialog::DontUseNativeDialog);
    if (!answerer.verifyOpened())
        return;
    QVERIFY(seen.views > 0);
    QVERIFY(seen.buttons > 0);
    QVERIFY2(seen.problems.isEmpty(), qPrintable(seen.problems.join("; ")));
}

void TestDialogs::startFolderFallsBackToHome()
{
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldDesktop = qgetenv("XDG_DESKTOP_DIR");
    qputenv("HOME", home.path().toUtf8());
    qunsetenv("XDG_DESKTOP_DIR");
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    const QString withoutDesktop = defaultUserFolder();
    QDir(home.path()).mkdir("Desktop");
    const QString withDesktop = defaultUserFolder();
    qputenv("HOME", oldHome);
    if (!oldDesktop.isEmpty())
        qputenv("XDG_DESKTOP_DIR", oldDesktop);
    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(withoutDesktop, home.path());
    QCOMPARE(withDesktop, home.path() + "/Desktop");
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"

#include "app/applicationstartup.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {
QStringList g_warnings;

void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    // Missing images are checked on their own; the offscreen platform's complaints are not ours.
    if (type == QtDebugMsg || type == QtInfoMsg || message.startsWith(QLatin1String("Could not create pixmap"))
        || message.startsWith(QLatin1String("This plugin does not support")))
        return;
    g_warnings << message;
}

QStringList referencedImages()
{
    const QString styleSheet = ApplicationStartup::loadStyleSheet(ApplicationStartup::styleSheetResource());
    QStringList images;
    QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("url\\(\"?(:/image/[^\")]+)")).globalMatch(styleSheet);
    while (it.hasNext())
        images << it.next().captured(1);
    images.removeDuplicates();
    return images;
}

// Applies the program's stylesheet for one test and removes it afterwards.
class StyleSheetScope
{
public:
    StyleSheetScope()
    {
        ApplicationStartup::applyStyleSheet(*qApp, ApplicationStartup::styleSheetResource());
    }
    ~StyleSheetScope() { qApp->setStyleSheet(QString()); }
};
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void styleSheetIsCompiledIn();
    void styleSheetStopsAtNul();
    void missingStyleSheetLeavesAppUnstyled();
    void styleSheetParsesCleanly();
    void referencedImagesExist();
    void statusLabelColour_data();
    void statusLabelColour();
    void fontFallsBackToChineseFamilies();
    void centredPosition_data();
    void centredPosition();
    void centresOnPrimaryScreen();
};

void TestStartup::styleSheetIsCompiledIn()
{
    QFile file(ApplicationStartup::styleSheetResource());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QString text = QString::fromLatin1(file.readAll());
    QVERIFY(text.contains(QLatin1String("QMainWindow#MainWindow")));
    // Read as Latin-1, so anything beyond ASCII outside comments would come out garbled.
    text.remove(QRegularExpression(QStringLiteral("/\\*.*?\\*/"), QRegularExpression::DotMatchesEverythingOption));
    for (const QChar c : text)
        QVERIFY2(c.unicode() < 128, "non-ASCII character outside a comment");
    QCOMPARE(ApplicationStartup::loadStyleSheet(ApplicationStartup::styleSheetResource()).size(),
             int(file.size()));
}

void TestStartup::styleSheetStopsAtNul()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("style.qss");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("QLabel { color: red; }\0trailing bytes", 38));
    file.close();
    QCOMPARE(ApplicationStartup::loadStyleSheet(path), QStringLiteral("QLabel { color: red; }"));
}

void TestStartup::missingStyleSheetLeavesAppUnstyled()
{
    QTemporaryDir dir;
    QCOMPARE(ApplicationStartup::loadStyleSheet(dir.filePath("none.qss")), QString());
    ApplicationStartup::applyStyleSheet(*qApp, dir.filePath("none.qss"));
    QCOMPARE(qApp->styleSheet(), QString());
}

void TestStartup::styleSheetParsesCleanly()
{
    g_warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    {
        StyleSheetScope style;
        QMainWindow window;
        window.setObjectName("MainWindow");
        auto *central = new QWidget(&window);
        auto *layout = new QVBoxLayout(central);
        auto *blue = new QToolButton;
        blue->setProperty("Type", "Blue");
        blue->setCheckable(true);
        blue->setChecked(true);
        layout->addWidget(blue);
        auto *gray = new QToolButton;
        gray->setProperty("Type", "Gray");
        layout->addWidget(gray);
        auto *system = new QPushButton;
        system->setProperty("system-button", true);
        system->setCheckable(true);
        system->setChecked(true);
        layout->addWidget(system);
        layout->addWidget(new QCheckBox);
        layout->addWidget(new QComboBox);
        layout->addWidget(new QSpinBox);
        layout->addWidget(new QLineEdit);
        auto *edit = new QDateTimeEdit;
        edit->setCalendarPopup(true);
        layout->addWidget(edit);
        layout->addWidget(new QCalendarWidget);
        auto *table = new QTableWidget(50, 3);
        table->setSortingEnabled(true);
        layout->addWidget(table);
        window.setCentralWidget(central);
        window.resize(400, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.grab();
    }
    qInstallMessageHandler(previous);
    QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join('\n')));
}

void TestStartup::referencedImagesExist()
{
    const QStringList images = referencedImages();
    QVERIFY(images.contains(QStringLiteral(":/image/logo.svg")));
    if (QDir(QStringLiteral(":/image")).isEmpty())
        QSKIP("no artwork compiled into this build");
    QStringList missing;
    for (const QString &image : images) {
        if (!QFile::exists(image))
            missing << image;
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(' ')));
}

void TestStartup::statusLabelColour_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<bool>("bold");
    const QColor plain(255, 255, 255, 153);
    const QColor accent(0x40, 0x5d, 0xff);
    QTest::newRow("pending") << 0 << plain << false;
    QTest::newRow("success") << 1 << accent << true;
    QTest::newRow("failure") << 2 << QColor(Qt::red) << true;
    QTest::newRow("running") << 3 << accent << true;
    QTest::newRow("missing") << 4 << accent << true;
}

void TestStartup::statusLabelColour()
{
    QFETCH(int, status);
    QFETCH(QColor, colour);
    QFETCH(bool, bold);
    StyleSheetScope style;
    QWidget parent;
    auto *label = new QLabel(&parent);
    label->setObjectName("OperateStateLable");
    label->setProperty("Success", status);
    label->ensurePolished();
    QCOMPARE(label->palette().color(QPalette::WindowText), colour);
    QCOMPARE(label->font().bold(), bold);
}

void TestStartup::fontFallsBackToChineseFamilies()
{
    StyleSheetScope style;
    QLabel label;
    label.ensurePolished();
    QCOMPARE(label.font().family(), QStringLiteral("Microsoft YaHei"));
    QVERIFY2(label.font().families().contains(QStringLiteral("Noto Sans CJK SC")),
             qPrintable(label.font().families().join(',')));
}

void TestStartup::centredPosition_data()
{
    QTest::addColumn<QSize>("available");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("position");
    QTest::newRow("full hd") << QSize(1920, 1040) << QSize(1340, 835) << QPoint(290, 102);
    QTest::newRow("odd leftover truncated") << QSize(1919, 1041) << QSize(1340, 835) << QPoint(289, 103);
    QTest::newRow("larger than screen") << QSize(1280, 720) << QSize(1340, 835) << QPoint(-30, -57);
}

void TestStartup::centredPosition()
{
    QFETCH(QSize, available);
    QFETCH(QSize, window);
    QFETCH(QPoint, position);
    QCOMPARE(ApplicationStartup::centredPosition(available, window), position);
}

void TestStartup::centresOnPrimaryScreen()
{
    QWidget window;
    window.resize(300, 200);
    window.show();
    ApplicationStartup::centreOnPrimaryScreen(&window);
    const QSize available = QGuiApplication::primaryScreen()->availableGeometry().size();
    QCOMPARE(window.pos(), ApplicationStartup::centredPosition(available, window.size()));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"

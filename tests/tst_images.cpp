#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>
#include <QTextStream>
#include <QtTest>

namespace {

struct ImageSize {
    QString name;
    QSize size;
};

// With ccache's base_dir the compiler sees a source path relative to the folder it ran in, which for
// tests is <build>/tests; an absolute path passes through unchanged.
QString imageSourceDir()
{
    const QString thisFile = QDir(QStringLiteral(QT_TESTCASE_BUILDDIR "/tests")).filePath(QStringLiteral(__FILE__));
    return QDir::cleanPath(QFileInfo(thisFile).absolutePath() + QStringLiteral("/../resources/image"));
}

// The list of every image and the size it is drawn at, kept beside the images.
QVector<ImageSize> listedImages()
{
    QVector<ImageSize> images;
    QFile file(imageSourceDir() + "/sizes.txt");
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return images;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList parts = line.split(QRegularExpression("\\s+"));
        if (parts.size() >= 3)
            images.append({parts[0], QSize(parts[1].toInt(), parts[2].toInt())});
    }
    return images;
}

int opaquePixels(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            count += qAlpha(argb.pixel(x, y)) > 0 ? 1 : 0;
    return count;
}

QImage renderSvg(const QString &path, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(path);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// Pixels where some channel differs by more than a rounding difference of anti-aliasing could explain.
int differingPixels(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row);
            const QRgb q = y.pixel(col, row);
            const int worst = qMax(qMax(qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q))),
                                   qMax(qAbs(qBlue(p) - qBlue(q)), qAbs(qAlpha(p) - qAlpha(q))));
            count += worst > 24 ? 1 : 0;
        }
    }
    return count;
}

} // namespace

class TestImages : public QObject
{
    Q_OBJECT

private slots:
    void everyListedImageIsCompiledIn();
    void imageLoadsAtItsSize_data();
    void imageLoadsAtItsSize();
    void svgIconRendersAtAnySize_data();
    void svgIconRendersAtAnySize();
    void pngMatchesItsSource_data();
    void pngMatchesItsSource();
};

void TestImages::everyListedImageIsCompiledIn()
{
    const QVector<ImageSize> listed = listedImages();
    QCOMPARE(listed.size(), 37);
    QSet<QString> names;
    for (const ImageSize &image : listed)
        names.insert(image.name);
    const QStringList compiled = QDir(":/image").entryList(QDir::Files);
    QCOMPARE(QSet<QString>(compiled.begin(), compiled.end()), names);
}

void TestImages::imageLoadsAtItsSize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    for (const ImageSize &image : listedImages())
        QTest::newRow(qPrintable(image.name)) << image.name << image.size;
}

// Stylesheet backgrounds and border images draw a picture at the size it loads with, so an SVG's own
// width and height must be the size the place expects.
void TestImages::imageLoadsAtItsSize()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QImage image(":/image/" + name);
    QVERIFY2(!image.isNull(), qPrintable(name));
    QCOMPARE(image.size(), size);
    QVERIFY(opaquePixels(image) > 0);
}

void TestImages::svgIconRendersAtAnySize_data()
{
    QTest::addColumn<QString>("name");
    for (const ImageSize &image : listedImages())
        if (image.name.endsWith(".svg"))
            QTest::newRow(qPrintable(image.name)) << image.name;
}

void TestImages::svgIconRendersAtAnySize()
{
    QFETCH(QString, name);
    QSvgRenderer renderer(":/image/" + name);
    QVERIFY(renderer.isValid());
    const QIcon icon(":/image/" + name);
    for (int side : {18, 32, 64}) {
        const QPixmap pixmap = icon.pixmap(QSize(side, side));
        QVERIFY(!pixmap.isNull());
        QVERIFY(opaquePixels(pixmap.toImage()) > 0);
    }
}

void TestImages::pngMatchesItsSource_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    for (const ImageSize &image : listedImages())
        if (image.name.endsWith(".png"))
            QTest::newRow(qPrintable(image.name)) << image.name << image.size;
}

// A PNG edited by hand, or left behind after its source changed, differs from a fresh rendering.
void TestImages::pngMatchesItsSource()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QString source = imageSourceDir() + "/src/" + QFileInfo(name).completeBaseName() + ".svg";
    QVERIFY2(QFileInfo::exists(source), qPrintable(source));
    const QImage stored(":/image/" + name);
    QCOMPARE(stored.size(), size);
    const int allowed = size.width() * size.height() / 1000;
    QVERIFY2(differingPixels(stored, renderSvg(source, size)) <= allowed,
             qPrintable(name + " is older than its source: run tools/render-png.sh"));
}

QTEST_MAIN(TestImages)
#include "tst_images.moc"

// Renders an SVG into a PNG at exactly width x height pixels, or into a Windows icon holding every
// standard size up to width when the output name ends in ".ico".
#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>
#include <QVector>
#include <QtEndian>

namespace {

QImage render(QSvgRenderer &renderer, int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(0, 0, width, height));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

void appendLe16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void appendLe32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// An ICO file whose entries are PNG streams, which every Windows since Vista reads.
bool writeIcon(QSvgRenderer &renderer, const QString &path, int largest)
{
    QVector<QByteArray> pngs;
    QVector<int> sizes;
    for (int size : {16, 20, 24, 32, 40, 48, 64, 128, 256}) {
        if (size > largest)
            break;
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!render(renderer, size, size).save(&buffer, "PNG"))
            return false;
        pngs.append(png);
        sizes.append(size);
    }
    QByteArray out;
    appendLe16(out, 0);
    appendLe16(out, 1);
    appendLe16(out, quint16(pngs.size()));
    quint32 offset = quint32(6 + 16 * pngs.size());
    for (int i = 0; i < pngs.size(); ++i) {
        const char dimension = char(sizes[i] >= 256 ? 0 : sizes[i]);
        out.append(dimension);
        out.append(dimension);
        out.append('\0');
        out.append('\0');
        appendLe16(out, 1);
        appendLe16(out, 32);
        appendLe32(out, quint32(pngs[i].size()));
        appendLe32(out, offset);
        offset += quint32(pngs[i].size());
    }
    for (const QByteArray &png : pngs)
        out.append(png);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

} // namespace

int main(int argc, char *argv[])
{
    // Text in an SVG needs the font database, hence a GUI application, but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);

    const QStringList args = app.arguments();
    if (args.size() != 5) {
        err << "usage: svg2png input.svg output.png|output.ico width height\n";
        return 2;
    }
    bool widthOk = false;
    bool heightOk = false;
    const int width = args[3].toInt(&widthOk);
    const int height = args[4].toInt(&heightOk);
    if (!widthOk || !heightOk || width < 1 || height < 1 || width > 4096 || height > 4096) {
        err << "svg2png: width and height must be whole numbers from 1 to 4096\n";
        return 2;
    }

    QSvgRenderer renderer(args[1]);
    if (!renderer.isValid()) {
        err << "svg2png: cannot read " << args[1] << "\n";
        return 1;
    }

    const QString output = args[2];
    const bool ok = output.endsWith(QLatin1String(".ico"), Qt::CaseInsensitive)
                        ? writeIcon(renderer, output, qMin(width, height))
                        : render(renderer, width, height).save(output, "PNG");
    if (!ok) {
        err << "svg2png: cannot write " << output << "\n";
        return 1;
    }
    return 0;
}

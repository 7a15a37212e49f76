// Usage: contactsheet <resources/image folder> <output prefix>
// Writes <prefix>-icons.png, <prefix>-large.png and <prefix>-context.png.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <QTextStream>

namespace {

struct Entry {
    QString name;
    QSize size;
    QString use;
};

const QColor sheetBackground(0x2B, 0x2B, 0x2B);
QString imageDir;

QVector<Entry> readSizes(const QString &path)
{
    QVector<Entry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return entries;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList parts = line.split(QRegExp("\\s+"));
        if (parts.size() < 3)
            continue;
        entries.append({parts[0], QSize(parts[1].toInt(), parts[2].toInt()), parts.mid(3).join(' ')});
    }
    return entries;
}

// The SVG a picture is drawn from: the image itself, or the source of a rendered PNG.
QString vectorSource(const QString &name)
{
    if (name.endsWith(".svg"))
        return imageDir + "/" + name;
    return imageDir + "/src/" + QFileInfo(name).completeBaseName() + ".svg";
}

QImage renderVector(const QString &name, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(vectorSource(name));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    return image;
}

// The picture as the program gets it: a PNG as stored, an SVG rasterised at its own size.
QImage loadActual(const QString &name)
{
    if (name.endsWith(".png"))
        return QImage(imageDir + "/" + name);
    QSvgRenderer renderer(imageDir + "/" + name);
    return renderVector(name, renderer.defaultSize());
}

QImage pixelZoom(const QImage &image, int factor)
{
    return image.scaled(image.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QFont uiFont(int pixelSize, bool bold = false)
{
    QFont font("Noto Sans CJK SC");
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void drawCaption(QPainter &p, const QRect &cell, const Entry &entry, const QImage &actual)
{
    p.setPen(QColor(255, 255, 255, 220));
    p.setFont(uiFont(15, true));
    p.drawText(cell.topLeft() + QPoint(10, 22), entry.name);
    const bool sizeOk = actual.size() == entry.size;
    p.setPen(sizeOk ? QColor(255, 255, 255, 130) : QColor(255, 80, 80));
    p.setFont(uiFont(12));
    const QString info = QString("%1x%2  %3").arg(actual.width()).arg(actual.height()).arg(entry.use);
    p.drawText(cell.topLeft() + QPoint(10, 40), sizeOk ? info : info + "  (expected another size)");
}

void drawCell(QPainter &p, const QRect &cell, const Entry &entry, int zoom)
{
    p.fillRect(cell.adjusted(4, 4, -4, -4), QColor(0x24, 0x24, 0x24));
    const QImage actual = loadActual(entry.name);
    drawCaption(p, cell, entry, actual);
    const int top = cell.top() + 54;
    int x = cell.left() + 12;
    p.drawImage(x, top, actual);
    x += actual.width() + 16;
    p.drawImage(x, top, renderVector(entry.name, entry.size * zoom));
    x += entry.size.width() * zoom + 16;
    p.drawImage(x, top, pixelZoom(actual, zoom));
}

void writeIcons(const QVector<Entry> &entries, const QString &path)
{
    const int columns = 3;
    const QSize cellSize(560, 54 + 4 * 40 + 16);
    QVector<Entry> icons;
    for (const Entry &e : entries)
        if (e.size.width() <= 40 && e.size.height() <= 40)
            icons.append(e);
    const int rows = (icons.size() + columns - 1) / columns;
    QImage sheet(cellSize.width() * columns, cellSize.height() * rows, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(sheetBackground);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < icons.size(); ++i) {
        const QRect cell(QPoint((i % columns) * cellSize.width(), (i / columns) * cellSize.height()), cellSize);
        drawCell(p, cell, icons[i], 4);
    }
    p.end();
    sheet.save(path);
}

void writeLarge(const QVector<Entry> &entries, const QString &path)
{
    QVector<Entry> large;
    for (const Entry &e : entries)
        if (e.size.width() > 40 || e.size.height() > 40)
            large.append(e);
    int height = 0;
    int width = 0;
    for (const Entry &e : large) {
        const int zoom = e.size.width() <= 100 ? 4 : 2;
        height += 54 + e.size.height() * zoom + 24;
        width = qMax(width, 24 + e.size.width() * (1 + 2 * zoom) + 48);
    }
    QImage sheet(width, height, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(sheetBackground);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    int y = 0;
    for (const Entry &e : large) {
        const int zoom = e.size.width() <= 100 ? 4 : 2;
        const QRect cell(0, y, width, 54 + e.size.height() * zoom + 24);
        drawCell(p, cell, e, zoom);
        y += cell.height();
    }
    p.end();
    sheet.save(path);
}

// ---- mock-ups of the places that use the images, drawn the way the stylesheet draws them ----

QImage actualOf(const QString &name)
{
    return loadActual(name);
}

QImage iconAt(const QString &name, int size)
{
    return renderVector(name, QSize(size, size));
}

void roundRect(QPainter &p, const QRectF &r, qreal radius, const QColor &fill, const QColor &border = Qt::transparent)
{
    p.setPen(border.alpha() ? QPen(border, 1) : Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(r, radius, radius);
}

int drawPageButton(QPainter &p, int x, int y, const QString &icon, const QString &text, bool checked)
{
    p.setFont(uiFont(17, checked));
    const int textWidth = p.fontMetrics().horizontalAdvance(text);
    const QRect r(x, y, 12 + 32 + 6 + textWidth + 12, 44);
    if (checked)
        roundRect(p, r, 8, QColor(0x40, 0x5D, 0xFF));
    p.drawImage(r.left() + 12, r.top() + 6, iconAt(icon, 32));
    p.setPen(Qt::white);
    p.drawText(QRect(r.left() + 50, r.top(), textWidth + 4, r.height()), Qt::AlignVCenter, text);
    return r.width();
}

int drawGrayButton(QPainter &p, int x, int y, const QString &icon, const QString &text, bool disabled = false)
{
    p.setFont(uiFont(17));
    const int textWidth = text.isEmpty() ? 0 : p.fontMetrics().horizontalAdvance(text) + 6;
    const QRect r(x, y, 8 + 32 + textWidth + 10, 44);
    roundRect(p, QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 8,
              disabled ? QColor(255, 255, 255, 50) : QColor(255, 255, 255, 20), QColor(255, 255, 255, 26));
    p.drawImage(r.left() + 8, r.top() + 6, iconAt(icon, 32));
    p.setPen(disabled ? QColor(255, 255, 255, 128) : QColor(255, 255, 255, 220));
    p.drawText(QRect(r.left() + 8 + 32 + 6, r.top(), textWidth, r.height()), Qt::AlignVCenter, text);
    return r.width();
}

void drawTitleBar(QPainter &p, const QRect &area, bool maximised, bool settingHovered)
{
    p.fillRect(area, QColor(0x13, 0x14, 0x15));
    p.drawImage(area.left() + 24, area.top() + 13, actualOf("logo.svg"));
    p.setFont(uiFont(24, true));
    p.setPen(QColor(255, 255, 255, 230));
    p.drawText(QRect(area.left() + 72, area.top(), 400, 66), Qt::AlignVCenter, "Korvel批量改名软件");
    int x = area.right() - 12 - 3 * 50 - 12 - 18 - 12 - 32;
    const int cy = area.top() + 12 + 21;
    p.drawImage(x, cy - 14, actualOf("onlinehelp.png"));
    x += 32 + 12;
    p.drawImage(x, cy - 9, actualOf(settingHovered ? "setting-hover.png" : "setting.svg"));
    x += 18 + 12;
    const char *buttons[] = {"minimize.svg", maximised ? "restore.svg" : "maximize.svg", "close.svg"};
    for (int i = 0; i < 3; ++i) {
        if (i == 2 && settingHovered)
            p.fillRect(QRect(x, cy - 18, 50, 36), QColor(0xE8, 0x11, 0x23));
        else if (i == 0 && settingHovered)
            p.fillRect(QRect(x, cy - 18, 50, 36), QColor(255, 255, 255, 38));
        p.drawImage(x + 19, cy - 6, actualOf(buttons[i]));
        x += 50;
    }
}

void writeContext(const QString &path)
{
    QImage sheet(1340, 1010, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0x13, 0x14, 0x15));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    drawTitleBar(p, QRect(0, 0, 1340, 66), false, false);
    drawTitleBar(p, QRect(0, 70, 1340, 66), true, true);

    // Page buttons: the first checked, as at start; then every button checked, to see the icons on blue.
    const struct { const char *icon; const char *text; } pages[] = {
        {"fileRenameBtn.svg", "文件重命名"}, {"folderRenameBtn.svg", "文件夹重命名"},
        {"fileTimePropertyBtn.svg", "文件时间属性"}, {"folderTimePropertyBtn.svg", "文件夹时间属性"},
        {"collectFileNameBtn.svg", "提取文件名"}, {"collectFolderNameBtn.svg", "提取文件夹名"},
        {"batchCreateFolderBtn.svg", "批量生成文件夹"}};
    for (int row = 0; row < 2; ++row) {
        const QRect bar(12, 146 + row * 76, 1316, 64);
        roundRect(p, bar, 10, QColor(255, 255, 255, 16));
        int x = bar.left() + 12;
        for (int i = 0; i < 7; ++i)
            x += drawPageButton(p, x, bar.top() + 10, pages[i].icon, pages[i].text, row == 1 || i == 0) + 10;
    }

    // Page body: toolbar, header, rows, settings panel.
    const QRect body(12, 304, 920, 694);
    roundRect(p, body, 10, QColor(255, 255, 255, 16));
    int x = body.left() + 12;
    x += drawGrayButton(p, x, body.top() + 12, "addFile.svg", "添加文件") + 12;
    x += drawGrayButton(p, x, body.top() + 12, "addFolder.svg", "添加文件夹") + 12;
    x += drawGrayButton(p, x, body.top() + 12, "disableUndo.svg", "撤销修改", true) + 12;
    x += drawGrayButton(p, x, body.top() + 12, "undo.svg", "撤销修改") + 12;
    x += drawGrayButton(p, x, body.top() + 12, "clearList.svg", "清空列表") + 12;

    const QRect header(body.left() + 12, body.top() + 68, body.width() - 24, 42);
    p.fillRect(header, Qt::black);
    p.setFont(uiFont(16));
    p.setPen(QColor(255, 255, 255, 153));
    const char *titles[] = {"文件名", "新文件名", "所在目录", "状态", "操作"};
    const int widths[] = {220, 220, 200, 110, 146};
    int hx = header.left();
    for (int i = 0; i < 5; ++i) {
        p.drawText(QRect(hx + 12, header.top(), widths[i], 42), Qt::AlignVCenter, titles[i]);
        if (i == 0)
            p.drawImage(hx + 70, header.top() + 14, actualOf("sortup.png"));
        if (i == 1)
            p.drawImage(hx + 90, header.top() + 14, actualOf("sortdown.png"));
        hx += widths[i];
        p.fillRect(QRect(hx - 1, header.top() + 10, 1, 22), QColor(255, 255, 255, 38));
    }
    const char *names[] = {"会议纪要.docx", "项目计划.xlsx"};
    for (int r = 0; r < 2; ++r) {
        const QRect row(header.left(), header.bottom() + 1 + r * 80, header.width(), 80);
        p.fillRect(row, QColor(0x21, 0x22, 0x23));
        p.fillRect(QRect(row.left(), row.bottom(), row.width(), 1), QColor(255, 255, 255, 38));
        p.setPen(QColor(255, 255, 255, 153));
        p.drawText(QRect(row.left() + 12, row.top(), 200, 80), Qt::AlignVCenter, names[r]);
        p.drawText(QRect(row.left() + 232, row.top(), 200, 80), Qt::AlignVCenter, QString("新建文件_%1").arg(r + 1));
        p.drawText(QRect(row.left() + 452, row.top(), 200, 80), Qt::AlignVCenter, "D:/资料");
        p.setPen(QColor(0x40, 0x5D, 0xFF));
        p.setFont(uiFont(16, true));
        p.drawText(QRect(row.left() + 652, row.top(), 100, 80), Qt::AlignVCenter, r ? "成功" : "待操作");
        p.setFont(uiFont(16));
        const int ax = row.left() + 762;
        p.drawImage(ax, row.top() + 28, iconAt("delete.svg", 24));
        p.drawImage(ax + 40, row.top() + 28, actualOf("sort.svg"));
        p.drawImage(ax + 80, row.top() + 28, iconAt("open.svg", 24));
    }

    // Empty states: the list's drop area and the plan list's placeholder.
    const QRect drop(body.left() + 60, body.top() + 300, 360, 230);
    p.setPen(QPen(QColor(255, 255, 255, 77), 2, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(drop, 24, 24);
    p.drawImage(drop.center().x() - 45, drop.top() + 50, actualOf("addFileIco.png"));
    p.setFont(uiFont(14));
    p.setPen(QColor(0x40, 0x5D, 0xFF));
    p.drawText(QRect(drop.left(), drop.top() + 150, drop.width(), 24), Qt::AlignHCenter, "点击添加/拖拽文件到此区域");
    p.drawImage(body.left() + 560, body.top() + 290, actualOf("createEmpty.svg"));
    p.drawText(QRect(body.left() + 560, body.top() + 500, 200, 24), Qt::AlignHCenter, "暂无文件信息~");

    // Settings panel.
    const QRect panel(944, 304, 384, 694);
    roundRect(p, panel, 10, QColor(255, 255, 255, 16));
    int y = panel.top() + 16;
    p.drawImage(panel.left() + 16, y + 12, actualOf("labelIco.png"));
    p.setFont(uiFont(16, true));
    p.setPen(QColor(255, 255, 255, 230));
    p.drawText(QRect(panel.left() + 30, y, 200, 36), Qt::AlignVCenter, "自定义名称");
    y += 48;
    p.setFont(uiFont(16));
    p.setPen(QColor(255, 255, 255, 153));
    p.drawText(QRect(panel.left() + 16, y, 200, 36), Qt::AlignVCenter, "自动解决命名冲突");
    p.drawImage(panel.right() - 60, y + 6, actualOf("checkOn.svg"));
    y += 44;
    p.drawText(QRect(panel.left() + 16, y, 200, 36), Qt::AlignVCenter, "启用编号");
    p.drawImage(panel.right() - 60, y + 6, actualOf("checkOff.svg"));
    y += 48;
    const QRect combo(panel.left() + 16, y, 220, 36);
    roundRect(p, QRectF(combo).adjusted(0.5, 0.5, -0.5, -0.5), 8, QColor(255, 255, 255, 13), QColor(255, 255, 255, 38));
    p.drawText(combo.adjusted(12, 0, 0, 0), Qt::AlignVCenter, "数字");
    p.drawImage(combo.right() - 10 - 18, combo.top() + 9, actualOf("combox-down.svg"));
    y += 48;
    const QRect date(panel.left() + 16, y, 300, 36);
    roundRect(p, QRectF(date).adjusted(0.5, 0.5, -0.5, -0.5), 8, QColor(255, 255, 255, 13), QColor(255, 255, 255, 38));
    p.setFont(uiFont(14));
    p.drawText(date.adjusted(12, 0, 0, 0), Qt::AlignVCenter, "2024/05/20 09:30:00");
    p.drawImage(date.right() - 10 - 23, date.top() + 10, actualOf("time_btn.svg"));
    y += 52;
    p.drawImage(panel.left() + 16, y + 12, actualOf("labelIco.png"));
    p.setFont(uiFont(16, true));
    p.setPen(QColor(255, 255, 255, 230));
    p.drawText(QRect(panel.left() + 30, y, 200, 36), Qt::AlignVCenter, "导入文件名");
    y += 44;
    const QRect demo(panel.left() + 16, y, 320, 180);
    roundRect(p, demo, 8, QColor(255, 255, 255, 26));
    p.drawImage(demo, actualOf("importExcel.png"));
    p.setFont(uiFont(12));
    p.setPen(Qt::red);
    p.drawText(demo.adjusted(12, 0, -12, -8), Qt::AlignBottom | Qt::TextWordWrap,
               "文件名填写示例：在表格的第一列输入要重命名的名称，且不要包含以下字符：/:*?\"<>|");
    y += 192;
    int bx = panel.left() + 16;
    bx += drawGrayButton(p, bx, y, "importExcel.svg", "点击导入Excel表格") + 12;
    y += 56;
    const QRect show(panel.left() + 16, y, 352, 44);
    roundRect(p, QRectF(show).adjusted(0.5, 0.5, -0.5, -0.5), 8, QColor(255, 255, 255, 13), QColor(255, 255, 255, 38));
    p.setFont(uiFont(14));
    p.setPen(QColor(255, 255, 255, 153));
    p.drawText(show.adjusted(12, 0, 0, 0), Qt::AlignVCenter, "D:/资料/新名称.xlsx");
    p.drawImage(show.right() - 80, show.top() + 10, iconAt("deleteExcel.svg", 24));
    p.drawImage(show.right() - 44, show.top() + 6, iconAt("openDir.svg", 32));
    y += 56;
    const QRect output(panel.left() + 16, y, 300, 36);
    roundRect(p, QRectF(output).adjusted(0.5, 0.5, -0.5, -0.5), 8, QColor(255, 255, 255, 13), QColor(255, 255, 255, 38));
    p.drawText(output.adjusted(12, 0, 0, 0), Qt::AlignVCenter, "C:/Users/Desktop");
    p.drawImage(output.right() + 12 + 11, output.top() + 9, iconAt("openDir.svg", 18));

    // Warning dialog.
    const QRect dialog(body.left() + 540, body.bottom() - 130, 352, 108);
    roundRect(p, QRectF(dialog).adjusted(0.5, 0.5, -0.5, -0.5), 10, QColor(0x3B, 0x3B, 0x3B), QColor(255, 255, 255, 38));
    p.drawImage(dialog.right() - 12 - 24, dialog.top() + 10, actualOf("closeBtn.png"));
    p.setFont(uiFont(20, true));
    p.setPen(Qt::white);
    p.drawText(dialog, Qt::AlignCenter, "提示");
    p.end();
    sheet.save(path);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        QTextStream(stderr) << "usage: contactsheet <resources/image folder> <output prefix>\n";
        return 2;
    }
    imageDir = QDir(args[1]).absolutePath();
    const QVector<Entry> entries = readSizes(imageDir + "/sizes.txt");
    writeIcons(entries, args[2] + "-icons.png");
    writeLarge(entries, args[2] + "-large.png");
    writeContext(args[2] + "-context.png");
    return 0;
}

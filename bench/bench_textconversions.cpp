// Times the text conversions a recomputation of 3000 names needs, and the start-up load of the OpenCC
// converters. Run from anywhere: it works in the program's folder (build/bin), where the configurations are.
#include "rename/ccconverter.h"
#include "rename/textconversions.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int nameCount = 3000;
constexpr int rounds = 21;

// File names as people have them: Chinese words, dates, counters and Latin pieces, 10 to 20 characters.
QStringList typicalNames()
{
    const QStringList chinese = {"项目", "报告", "会议纪要", "照片", "合同", "财务报表", "终版", "副本", "设计稿",
                                 "发票", "简历", "年度总结", "客户资料", "说明书", "数据", "后期", "头发", "发展规划"};
    const QStringList latin = {"IMG", "final", "v2", "scan", "DSC", "draft", "report", "Q3", "backup", "doc"};
    const QStringList suffixes = {".docx", ".xlsx", ".jpg", ".pdf", ".txt", ".png", ""};
    QRandomGenerator random(20240301);
    QStringList names;
    names.reserve(nameCount);
    while (names.size() < nameCount) {
        QString name;
        const int target = 10 + int(random.bounded(11));
        while (name.size() < target - 5) {
            switch (random.bounded(4)) {
            case 0:
            case 1: name += chinese.at(int(random.bounded(chinese.size()))); break;
            case 2: name += latin.at(int(random.bounded(latin.size()))); break;
            default: name += QLatin1Char('_') + QString::number(random.bounded(1, 2025)); break;
            }
        }
        name += suffixes.at(int(random.bounded(suffixes.size())));
        names << name.left(20);
    }
    return names;
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double timeOnce(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

// The converter logs every load; the table is the output here.
void quietInfo(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtInfoMsg && type != QtDebugMsg)
        fprintf(stderr, "%s\n", qUtf8Printable(message));
}

struct Row
{
    QString what;
    double first;
    double median;
    QString target;
};

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietInfo);
    QCoreApplication app(argc, argv);
    if (!QFileInfo::exists(QStringLiteral("s2t.json")))
        QDir::setCurrent(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin"));
    QTextStream out(stdout);

    QVector<Row> rows;
    QVector<double> loads;
    bool available = true;
    for (int i = 0; i < rounds; ++i)
        loads << timeOnce([&] { available = CCConverter::initialize() && available; });
    rows.append({QStringLiteral("CCConverter::initialize (s2t + t2s)"), loads.first(), median(loads),
                 QStringLiteral("share of 400 ms start-up")});
    if (!available) {
        out << "OpenCC is unavailable in " << QDir::currentPath() << ": " << CCConverter::errorText() << '\n';
        return 1;
    }

    const QStringList names = typicalNames();
    int totalLength = 0;
    for (const QString &name : names)
        totalLength += name.size();

    qint64 sink = 0;
    const auto measure = [&](const QString &what, const QString &target, QString (*convert)(const QString &)) {
        QVector<double> times;
        for (int i = 0; i < rounds; ++i)
            times << timeOnce([&] {
                for (const QString &name : names)
                    sink += convert(name).size();
            });
        rows.append({what, times.first(), median(times), target});
    };
    measure(QStringLiteral("toPinyin, 3000 names"), QStringLiteral("<= 5 ms"), toPinyin);
    measure(QStringLiteral("toTraditional, 3000 names"), QStringLiteral("<= 40 ms"), toTraditional);
    measure(QStringLiteral("toSimplified, 3000 names"), QStringLiteral("<= 40 ms"), toSimplified);

    out << "3000 names, " << totalLength << " characters (average " << QString::number(double(totalLength) / nameCount, 'f', 1)
        << "), e.g. " << names.at(0) << " | " << names.at(1) << " | " << names.at(2) << "\n";
    out << "median of " << rounds << " rounds; 'first' is the first round (the pinyin table loads there)\n\n";
    out << QStringLiteral("%1 %2 %3  %4\n").arg(QStringLiteral("what"), -40).arg(QStringLiteral("first ms"), 9)
                                            .arg(QStringLiteral("median ms"), 10).arg(QStringLiteral("target"));
    for (const Row &row : rows)
        out << QStringLiteral("%1 %2 %3  %4\n").arg(row.what, -40).arg(row.first, 9, 'f', 2)
                                                .arg(row.median, 10, 'f', 2).arg(row.target);
    return sink > 0 ? 0 : 1;
}

#include "timestyles.h"

namespace {

struct TimeStyle
{
    const char *format;
    const char *sample;
};

// Style 3 shows what its sample shows: the curly quotes are literal text around the minutes (16‘05’09). With
// straight quotes the format would make "mm" itself literal and print 16mm09.
const TimeStyle styles[] = {
    {"yyyy-MM-dd", "2000-01-01"},
    {"yyyy年M月d日", "2000年1月1日"},
    {"yyyyMMdd", "20000101"},
    {"yyyy-MM-dd hh‘mm’ss", "2000-01-01 16‘00’00"},
    {"yyyy-MM-dd-hh-mm-ss", "2000-01-01-16-00-00"},
    {"yyyy年M月d日 hh时mm分ss秒", "2000年1月1日 16时00分00秒"},
    {"yyyyMMddhhmmss", "20000101160000"},
};

constexpr int styleCount = int(sizeof(styles) / sizeof(styles[0]));

} // namespace

int timeStyleCount()
{
    return styleCount;
}

QString timeStyleFormat(int index)
{
    if (index < 0 || index >= styleCount)
        index = 0;
    return QString::fromUtf8(styles[index].format);
}

QStringList timeStyleSamples()
{
    QStringList samples;
    for (const TimeStyle &style : styles)
        samples.append(QString::fromUtf8(style.sample));
    return samples;
}

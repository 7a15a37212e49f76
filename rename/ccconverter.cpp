#include "ccconverter.h"

#include "fileops/datapaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutexLocker>
#include <QStringList>
#include <QtConcurrent>

#include <opencc/Config.hpp>
#include <opencc/Converter.hpp>
#include <opencc/Exception.hpp>

#include <exception>
#include <stdexcept>
#include <string>

namespace {

const char *configFile(CCConverter::Direction direction)
{
    return direction == CCConverter::ToTraditional ? "s2t.json" : "t2s.json";
}

// The same words as the script choices of the settings panel.
QString directionName(CCConverter::Direction direction)
{
    return direction == CCConverter::ToTraditional ? QStringLiteral("简体转繁体") : QStringLiteral("繁体转简体");
}

// A character every standard configuration converts: a configuration that loads but leaves it alone
// (an empty conversion chain, a wrong dictionary) would otherwise convert nothing without a word.
QString probeInput(CCConverter::Direction direction)
{
    return direction == CCConverter::ToTraditional ? QStringLiteral("汉") : QStringLiteral("漢");
}

QString probeOutput(CCConverter::Direction direction)
{
    return probeInput(direction == CCConverter::ToTraditional ? CCConverter::ToSimplified
                                                                : CCConverter::ToTraditional);
}

std::string runConverter(const opencc::Converter &converter, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return converter.Convert(std::string(utf8.constData(), size_t(utf8.size())));
}

// OpenCC stops at a NUL byte and cannot carry a lone surrogate through UTF-8: such code units pass
// through untouched and only the runs between them are converted.
bool isConvertible(const QString &text, int i)
{
    const QChar c = text.at(i);
    if (c.isNull())
        return false;
    if (c.isHighSurrogate())
        return i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
    if (c.isLowSurrogate())
        return i > 0 && text.at(i - 1).isHighSurrogate();
    return true;
}

QString convertRun(const opencc::Converter &converter, const QString &run)
{
    if (run.isEmpty())
        return run;
    try {
        const std::string converted = runConverter(converter, run);
        return QString::fromUtf8(converted.data(), int(converted.size()));
    } catch (const opencc::Exception &e) {
        qWarning("OpenCC could not convert a text: %s", e.what());
    } catch (const std::exception &e) {
        qWarning("OpenCC could not convert a text: %s", e.what());
    }
    return run;
}

QJsonValue anchorDictionaries(const QJsonValue &value, const QDir &folder)
{
    if (value.isArray()) {
        QJsonArray array = value.toArray();
        for (int i = 0; i < array.size(); ++i)
            array[i] = anchorDictionaries(array.at(i), folder);
        return array;
    }
    if (!value.isObject())
        return value;
    QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key() == QLatin1String("file") && it.value().isString())
            it.value() = folder.absoluteFilePath(it.value().toString());
        else
            it.value() = anchorDictionaries(it.value(), folder);
    }
    return object;
}

// OpenCC looks for the dictionaries a configuration names first in the working folder, then beside the
// configuration, then among its own files. Naming each by its full path beside the configuration keeps
// both the working folder and OpenCC's own files out of it. Text that is not JSON is passed on as it is,
// for OpenCC to report.
std::string withAnchoredDictionaries(const QByteArray &json, const QDir &folder)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return json.toStdString();
    const QJsonObject anchored = anchorDictionaries(document.object(), folder).toObject();
    return QJsonDocument(anchored).toJson(QJsonDocument::Compact).toStdString();
}

opencc::ConverterPtr loadConfiguration(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(file.errorString().toStdString());
    const QDir folder = QFileInfo(path).absoluteDir();
    return opencc::Config().NewFromString(withAnchoredDictionaries(file.readAll(), folder),
                                          folder.absolutePath().toStdString());
}

} // namespace

CCConverter &CCConverter::instance()
{
    static CCConverter converter;
    return converter;
}

bool CCConverter::initialize()
{
    return initialize(DataPaths::searchFolders());
}

bool CCConverter::initialize(const QStringList &folders)
{
    CCConverter &self = instance();
    QMutexLocker locker(&self.m_mutex);
    self.loadBoth(folders);
    return self.m_sides[ToTraditional].converter && self.m_sides[ToSimplified].converter;
}

QFuture<void> CCConverter::whenLoaded()
{
    CCConverter &self = instance();
    QMutexLocker locker(&self.m_backgroundMutex);
    if (!self.m_backgroundStarted) {
        self.m_backgroundStarted = true;
        self.m_background = QtConcurrent::run([] { instance().side(ToTraditional); });
    }
    return self.m_background;
}

bool CCConverter::isLoaded()
{
    return instance().m_loaded;
}

bool CCConverter::isAvailable()
{
    return isAvailable(ToTraditional) && isAvailable(ToSimplified);
}

bool CCConverter::isAvailable(Direction direction)
{
    return instance().side(direction).converter != nullptr;
}

QString CCConverter::errorText(Direction direction)
{
    return instance().side(direction).error;
}

QString CCConverter::errorText()
{
    QStringList lines;
    for (Direction direction : {ToTraditional, ToSimplified}) {
        const QString error = errorText(direction);
        if (!error.isEmpty())
            lines << error;
    }
    return lines.join(QLatin1Char('\n'));
}

QString CCConverter::convert(Direction direction, const QString &text)
{
    if (text.isEmpty())
        return text;
    const std::shared_ptr<const opencc::Converter> converter = instance().side(direction).converter;
    if (!converter)
        return text;

    QString result;
    result.reserve(text.size());
    int runStart = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (isConvertible(text, i))
            continue;
        result += convertRun(*converter, text.mid(runStart, i - runStart));
        result += text.at(i);
        runStart = i + 1;
    }
    if (runStart == 0)
        return convertRun(*converter, text);
    result += convertRun(*converter, text.mid(runStart));
    return result;
}

CCConverter::Side CCConverter::load(Direction direction, const QStringList &folders)
{
    const QString file = QString::fromLatin1(configFile(direction));
    const QString name = directionName(direction);
    Side side;
    // Looked up here: OpenCC would otherwise fall back to configurations of its own outside the program.
    const QString path = DataPaths::find(file, folders);
    if (path.isEmpty()) {
        qWarning("%s is unavailable: the OpenCC configuration %s is missing from %s", qUtf8Printable(name),
                 qUtf8Printable(file), qUtf8Printable(folders.join(QStringLiteral(", "))));
        side.error = QStringLiteral("%1不可用：缺少OpenCC配置文件%2").arg(name, file);
        return side;
    }

    std::string failure;
    try {
        side.converter = loadConfiguration(path);
    } catch (const opencc::Exception &e) {
        failure = e.what();
    } catch (const std::exception &e) {
        failure = e.what();
    } catch (...) {
        failure = "unknown error";
    }
    if (!side.converter) {
        qWarning("%s is unavailable: OpenCC cannot load %s: %s", qUtf8Printable(name), qUtf8Printable(path),
                 failure.c_str());
        side.error = QStringLiteral("%1不可用：OpenCC配置文件%2或其词典文件无法读取或已损坏").arg(name, file);
        return side;
    }

    if (convertRun(*side.converter, probeInput(direction)) != probeOutput(direction)) {
        qWarning("%s is unavailable: the OpenCC configuration %s does not convert %s to %s", qUtf8Printable(name),
                 qUtf8Printable(path), qUtf8Printable(probeInput(direction)),
                 qUtf8Printable(probeOutput(direction)));
        side.converter.reset();
        side.error = QStringLiteral("%1不可用：OpenCC配置文件%2不能转换文字").arg(name, file);
        return side;
    }
    qInfo("OpenCC %s loaded from %s", qUtf8Printable(file), qUtf8Printable(QFileInfo(path).absolutePath()));
    return side;
}

void CCConverter::loadBoth(const QStringList &folders)
{
    m_sides[ToTraditional] = load(ToTraditional, folders);
    m_sides[ToSimplified] = load(ToSimplified, folders);
    m_loaded = true;
}

void CCConverter::ensureLoaded()
{
    if (!m_loaded)
        loadBoth(DataPaths::searchFolders());
}

CCConverter::Side CCConverter::side(Direction direction)
{
    QMutexLocker locker(&m_mutex);
    ensureLoaded();
    return m_sides[direction];
}

#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>

#include <memory>

namespace opencc {
class Converter;
}

// The process-wide simplified/traditional converter pair, loaded from "s2t.json" and "t2s.json" among the
// program's data (fileops/datapaths.h), each with its dictionaries beside it. When a configuration or its
// dictionaries are missing or broken that direction is unavailable: its conversion returns the text
// unchanged and errorText() says why, for the settings panel.
class CCConverter
{
public:
    enum Direction { ToTraditional, ToSimplified };

    // Loads (or loads again) both configurations; true when both directions work. Called once at start-up
    // so the dictionaries are in memory before the window exists.
    static bool initialize();
    // The same, taking each configuration from the first of the folders that holds it.
    static bool initialize(const QStringList &folders);
    static bool isAvailable();
    static bool isAvailable(Direction direction);
    // Why the direction cannot be used, empty when it can.
    static QString errorText(Direction direction);
    // Every unavailable direction's explanation, one per line; empty when both work.
    static QString errorText();

    static QString convert(Direction direction, const QString &text);

private:
    struct Side
    {
        std::shared_ptr<const opencc::Converter> converter;
        QString error;
    };

    CCConverter() = default;
    static CCConverter &instance();
    static Side load(Direction direction, const QStringList &folders);
    void loadBoth(const QStringList &folders);
    void ensureLoaded();
    Side side(Direction direction);

    QMutex m_mutex;
    bool m_loaded = false;
    Side m_sides[2];
};

#pragma once

#include <QFuture>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <atomic>
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

    // Loads (or loads again) both configurations; true when both directions work.
    static bool initialize();
    // The same, taking each configuration from the first of the folders that holds it.
    static bool initialize(const QStringList &folders);
    // Loading the dictionaries takes long enough to be felt at start-up: the program starts it on a worker
    // thread and whatever needs them waits for it (a conversion simply blocks until they are in). Returns the
    // load under way, starting it when nothing has loaded yet; finished when they are loaded.
    static QFuture<void> whenLoaded();
    // Whether a load has finished, without waiting for one.
    static bool isLoaded();

    // These load the converters first when nothing has loaded them yet.
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
    std::atomic<bool> m_loaded{false};
    Side m_sides[2];
    QMutex m_backgroundMutex; // guards m_background only, so that starting a load never waits for one
    QFuture<void> m_background;
    bool m_backgroundStarted = false;
};

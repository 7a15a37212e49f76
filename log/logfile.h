#pragma once

#include <QDateTime>
#include <QFile>
#include <QMutex>
#include <QString>

// The process's log file: one file per start under the log folder, named by the start time, receiving one
// enciphered line per message. Lines come from any thread; the mutex keeps each line whole.
class LogFile
{
public:
    // How many log files a folder keeps: the newest, this start's included.
    static constexpr int keptFiles = 50;

    static LogFile &instance();
    // False once the instance has been destroyed at exit, so late messages are dropped instead of touching it.
    static bool isAvailable();

    // "yyyy-MM-dd-hh-mm-ss-log.txt" for the given start time.
    static QString fileNameFor(const QDateTime &start);

    // Creates the folder with its missing parents and opens the file of this start for appending; a file of
    // the same name (a second start within one second) is extended. Closes any file opened before.
    bool open(const QString &folderPath, const QDateTime &start);
    void close();
    bool isOpen() const;
    QString filePath() const;

    // Removes the oldest log files of the folder (by the start time in their names) so that at most `keep`
    // remain, never the file named currentFileName; other files are left alone. Returns how many it removed.
    static int removeOldFiles(const QString &folderPath, int keep, const QString &currentFileName);

    // Enciphers the plain text and appends it as one line, flushed before returning. Silently does nothing
    // when no file is open.
    void writeLine(const QString &plainText);

    LogFile(const LogFile &) = delete;
    LogFile &operator=(const LogFile &) = delete;

private:
    LogFile() = default;
    ~LogFile();

    mutable QMutex m_mutex;
    QFile m_file;
};

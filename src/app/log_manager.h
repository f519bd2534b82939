#pragma once

#include "log_level.h"

#include <QFile>
#include <QLoggingCategory>
#include <QMutex>
#include <QObject>
#include <QTextStream>

Q_DECLARE_LOGGING_CATEGORY(lcStartup)
Q_DECLARE_LOGGING_CATEGORY(lcDevice)
Q_DECLARE_LOGGING_CATEGORY(lcHid)
Q_DECLARE_LOGGING_CATEGORY(lcCommand)
Q_DECLARE_LOGGING_CATEGORY(lcData)
Q_DECLARE_LOGGING_CATEGORY(lcUser)
Q_DECLARE_LOGGING_CATEGORY(lcError)

// Process-wide logger: one line per record into a dated file under "logs" in the
// tool's files directory (beside the executable for a portable copy, see AppPaths),
// mirrored to standard error. Also receives Qt's own debug/warning output.
class LogManager : public QObject {
    Q_OBJECT
public:
    static LogManager *instance();
    // Whether the instance, once created, mirrors records to standard error (default
    // true). Command-line tools that print results turn it off before the first record.
    static void setInitialConsoleOutput(bool enabled);
    // The file name stem of the instance, once created: "Kestrane" gives the dated
    // "Kestrane_yyyyMMdd.log" and the fallback "Kestrane.log". Another program of the
    // tool that runs beside the window takes a name of its own, so that no two
    // processes share (and overfill) one file.
    static void setInitialFileBaseName(const QString &baseName);

    void log(LogLevel level, const QString &category, const QString &message);
    void log(LogLevel level, const QString &message);

    void setLogLevel(LogLevel level);
    void setLogDirectory(const QString &dir);
    void setMaxFileSize(qint64 bytes);
    void setMaxBackupFiles(int count);
    void setConsoleOutput(bool enabled);

    // Routes Qt's debug/warning output into this log (done at construction; a test
    // harness that installs its own handler calls it again).
    void installMessageHandler();

    // The file currently written (empty when none could be opened).
    QString currentFilePath() const;
    QString logDirectory() const;

    ~LogManager() override;

private:
    LogManager();
    void openLogFile();
    void rotateLogFile();
    QString datedFilePath() const;
    QString timestamp();
    static void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

    QFile m_logFile;
    QTextStream m_logStream;
    QMutex m_mutex;
    LogLevel m_logLevel = DEBUG;
    QString m_logDir;
    qint64 m_maxFileSize = 10485760;
    int m_maxBackupFiles = 5;
    bool m_consoleOutput = true;
    QString m_fileBaseName;
    // The "yyyy-MM-dd HH:mm:ss" part of the time stamp, formatted once per second.
    qint64 m_stampSecond = -1;
    QString m_stampPrefix;
};

// Shorthands used throughout the tool.
inline void logRecord(LogLevel level, const QString &category, const QString &message)
{
    LogManager::instance()->log(level, category, message);
}

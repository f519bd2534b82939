#include "log_manager.h"

#include "app_paths.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QStandardPaths>
#include <QStringConverter>

#include <cstdio>

Q_LOGGING_CATEGORY(lcStartup, "app.startup")
Q_LOGGING_CATEGORY(lcDevice, "app.device")
Q_LOGGING_CATEGORY(lcHid, "app.hid")
Q_LOGGING_CATEGORY(lcCommand, "app.command")
Q_LOGGING_CATEGORY(lcData, "app.data")
Q_LOGGING_CATEGORY(lcUser, "app.user")
Q_LOGGING_CATEGORY(lcError, "app.error")

namespace {
const char *const kBanner = "========================================";
const char *const kTimeFormat = "yyyy-MM-dd HH:mm:ss";

// Set while a thread is inside log(): Qt output raised there (for example by QFile)
// must not come back through the message handler into the non-recursive mutex.
thread_local bool t_insideLog = false;
bool g_initialConsoleOutput = true;
QString &initialFileBaseName()
{
    static QString name = QStringLiteral("Kestrane");
    return name;
}
} // namespace

void LogManager::setInitialConsoleOutput(bool enabled)
{
    g_initialConsoleOutput = enabled;
}

void LogManager::setInitialFileBaseName(const QString &baseName)
{
    initialFileBaseName() = baseName;
}

QString logLevelName(int level)
{
    switch (level) {
    case DEBUG: return QStringLiteral("DEBUG");
    case INFO: return QStringLiteral("INFO");
    case WARNING: return QStringLiteral("WARNING");
    case CRITICAL: return QStringLiteral("CRITICAL");
    case FATAL: return QStringLiteral("FATAL");
    default: return QString();
    }
}

LogManager *LogManager::instance()
{
    static QAtomicPointer<LogManager> s_instance;
    static QMutex s_creationMutex;
    LogManager *existing = s_instance.loadAcquire();
    if (!existing) {
        QMutexLocker locker(&s_creationMutex);
        existing = s_instance.loadAcquire();
        if (!existing) {
            existing = new LogManager();
            s_instance.storeRelease(existing);
            existing->log(INFO, "Startup", kBanner);
            existing->log(INFO, "Startup",
                          QStringLiteral("应用程序启动 - %1").arg(QDateTime::currentDateTime().toString(kTimeFormat)));
            existing->log(INFO, "Startup", QStringLiteral("Qt版本: %1").arg(QString::fromLatin1(qVersion())));
            existing->log(INFO, "Startup", QStringLiteral("应用程序路径: %1").arg(AppPaths::applicationDir()));
            existing->log(INFO, "Startup", kBanner);
        }
    }
    return existing;
}

LogManager::LogManager()
{
    m_consoleOutput = g_initialConsoleOutput;
    m_fileBaseName = initialFileBaseName();
    m_logDir = AppPaths::filesDir() + "/logs";
    if (!QDir(m_logDir).exists())
        QDir(m_logDir).mkpath(".");
    installMessageHandler();
    openLogFile();
}

void LogManager::installMessageHandler()
{
    qInstallMessageHandler(&LogManager::messageHandler);
}

LogManager::~LogManager()
{
    log(INFO, "Startup", kBanner);
    log(INFO, "Startup", QStringLiteral("应用程序关闭 - %1").arg(QDateTime::currentDateTime().toString(kTimeFormat)));
    log(INFO, "Startup", kBanner);
    QMutexLocker locker(&m_mutex);
    m_logStream.flush();
    m_logFile.close();
}

QString LogManager::datedFilePath() const
{
    return m_logDir + "/" + QStringLiteral("%1_%2.log").arg(m_fileBaseName, QDate::currentDate().toString("yyyyMMdd"));
}

void LogManager::openLogFile()
{
    m_logStream.setDevice(nullptr);
    m_logFile.setFileName(datedFilePath());
    const auto mode = QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text;
    if (!m_logFile.open(mode)) {
        m_logFile.setFileName(QStandardPaths::writableLocation(QStandardPaths::TempLocation) + "/" + m_fileBaseName +
                              ".log");
        m_logFile.open(mode);
    }
    if (m_logFile.isOpen()) {
        m_logStream.setDevice(&m_logFile);
        m_logStream.setEncoding(QStringConverter::Utf8);
    }
}

void LogManager::rotateLogFile()
{
    // The file being written is rotated, whether it is the dated one or the fallback.
    const QString path = m_logFile.fileName().isEmpty() ? datedFilePath() : m_logFile.fileName();
    if (m_logFile.isOpen()) {
        m_logStream.flush();
        m_logFile.close();
    }
    if (QFileInfo(path).size() >= m_maxFileSize) {
        for (int n = m_maxBackupFiles - 1; n >= 1; --n) {
            QFile::remove(path + "." + QString::number(n + 1));
            QFile::rename(path + "." + QString::number(n), path + "." + QString::number(n + 1));
        }
        QFile::remove(path + ".1");
        QFile::rename(path, path + ".1");
    }
    openLogFile();
}

QString LogManager::timestamp()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 second = now / 1000;
    if (second != m_stampSecond) {
        m_stampSecond = second;
        m_stampPrefix = QDateTime::fromMSecsSinceEpoch(second * 1000).toString(kTimeFormat);
    }
    return m_stampPrefix + QStringLiteral(".%1").arg(int(now % 1000), 3, 10, QLatin1Char('0'));
}

void LogManager::log(LogLevel level, const QString &category, const QString &message)
{
    if (level < m_logLevel)
        return;
    QMutexLocker locker(&m_mutex);
    t_insideLog = true;
    // The file is only appended to: its write position is its size, without asking the disk.
    if (m_logFile.isOpen() && m_logFile.pos() >= m_maxFileSize)
        rotateLogFile();
    const QString line = QStringLiteral("[%1] [%2] [%3] %4\n")
                             .arg(timestamp(), logLevelName(level), category, message);
    if (m_consoleOutput) {
        std::fprintf(stderr, "%s", line.toLocal8Bit().constData());
        std::fflush(stderr);
    }
    if (m_logStream.device()) {
        m_logStream << line;
        m_logStream.flush();
    }
    t_insideLog = false;
}

void LogManager::log(LogLevel level, const QString &message)
{
    log(level, "General", message);
}

void LogManager::setLogLevel(LogLevel level)
{
    m_logLevel = level;
    log(INFO, "Startup", QStringLiteral("日志级别已设置为: %1").arg(int(level)));
}

void LogManager::setLogDirectory(const QString &dir)
{
    {
        QMutexLocker locker(&m_mutex);
        m_logDir = dir;
        QDir(dir).mkpath(".");
        if (m_logFile.isOpen()) {
            m_logStream.flush();
            m_logFile.close();
        }
        openLogFile();
    }
    log(INFO, "Startup", QStringLiteral("日志目录已设置为: %1").arg(dir));
}

void LogManager::setMaxFileSize(qint64 bytes)
{
    QMutexLocker locker(&m_mutex);
    m_maxFileSize = bytes;
}

void LogManager::setMaxBackupFiles(int count)
{
    QMutexLocker locker(&m_mutex);
    m_maxBackupFiles = count;
}

void LogManager::setConsoleOutput(bool enabled)
{
    QMutexLocker locker(&m_mutex);
    m_consoleOutput = enabled;
}

QString LogManager::currentFilePath() const
{
    return m_logFile.isOpen() ? m_logFile.fileName() : QString();
}

QString LogManager::logDirectory() const
{
    return m_logDir;
}

void LogManager::messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (t_insideLog) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        return;
    }
    LogLevel level = DEBUG;
    switch (type) {
    case QtDebugMsg: level = DEBUG; break;
    case QtInfoMsg: level = INFO; break;
    case QtWarningMsg: level = WARNING; break;
    case QtCriticalMsg: level = CRITICAL; break;
    case QtFatalMsg: level = FATAL; break;
    }
    QString text = message;
    if (context.file && *context.file) {
        QString file = QString::fromUtf8(context.file);
        file = file.mid(file.lastIndexOf('/') + 1);
        file = file.mid(file.lastIndexOf('\\') + 1);
        text += QStringLiteral(" [File: %1]").arg(file);
    }
    if (context.line > 0)
        text += QStringLiteral(" [Line: %1]").arg(context.line);
    if (context.function && *context.function)
        text += QStringLiteral(" [Func: %1]").arg(QString::fromUtf8(context.function));
    LogManager::instance()->log(level, "General", text);
}

#pragma once

#include "app_paths.h"
#include "log_manager.h"

#include <QFile>
#include <QTemporaryDir>

// Points the log manager at a fresh temporary directory and reads back what it wrote.
class LogCapture {
public:
    LogCapture()
    {
        LogManager::instance()->setConsoleOutput(false);
        LogManager::instance()->installMessageHandler();
        LogManager::instance()->setLogDirectory(m_dir.path());
        m_start = size();
    }
    QString text() const
    {
        QFile f(LogManager::instance()->currentFilePath());
        if (!f.open(QIODevice::ReadOnly))
            return QString();
        f.seek(m_start);
        return QString::fromUtf8(f.readAll());
    }
    bool contains(const QString &needle) const { return text().contains(needle); }
    int count(const QString &needle) const { return text().count(needle); }
    QString dir() const { return m_dir.path(); }

private:
    qint64 size() const { return QFile(LogManager::instance()->currentFilePath()).size(); }
    QTemporaryDir m_dir;
    qint64 m_start = 0;
};

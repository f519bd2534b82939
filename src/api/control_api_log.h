#pragma once

#include "log_level.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QStringView>

// The control API's lines in the tool's log. Whatever a request brings (path,
// serial, the error that names it) is escaped, so that no request can write a line
// of its own, and cut to a short length. A request makes one line at most: reads
// that succeed are counted and summed up once a minute (a controller that polls ten
// times a second must not rotate the log), and beyond kLinesPerSecond further lines
// are counted into that summary instead of written.
class ControlApiLog {
public:
    static constexpr int kMaxText = 200;
    static constexpr int kLinesPerSecond = 10;
    static constexpr int kSummaryMs = 60000;

    // `tag` names the protocol in each line ("[API] ...", "[VISCA] ...").
    explicit ControlApiLog(const QString &tag = QStringLiteral("API"));
    ~ControlApiLog(); // writes what is still counted
    ControlApiLog(const ControlApiLog &) = delete;
    ControlApiLog &operator=(const ControlApiLog &) = delete;

    // Control characters as visible escapes (\n, \r, \0, \t, \\, \uXXXX for other
    // controls, format characters and line separators), cut after maxLength
    // characters with "…".
    static QString escaped(QStringView text, int maxLength = kMaxText);

    // One answered request.
    void answered(const QByteArray &method, const QString &path, int status, const QString &error);
    // A line of the server's own (start, failures), written as it is.
    static void note(LogLevel level, const QString &message);
    // The same under this log's tag.
    void write(LogLevel level, const QString &message) const;

private:
    void summarise(bool whenDue);

    QString m_tag;
    QElapsedTimer m_clock;
    qint64 m_summaryStart = 0;
    qint64 m_secondStart = 0;
    int m_linesThisSecond = 0;
    int m_reads = 0;
    int m_unwritten = 0;
};

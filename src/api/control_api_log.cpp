#include "control_api_log.h"

#include "log_manager.h"

ControlApiLog::ControlApiLog(const QString &tag) : m_tag(tag)
{
    m_clock.start();
}

ControlApiLog::~ControlApiLog()
{
    summarise(false);
}

void ControlApiLog::note(LogLevel level, const QString &message)
{
    ::logRecord(level, QStringLiteral("Api"), QStringLiteral("[API] ") + message);
}

void ControlApiLog::write(LogLevel level, const QString &message) const
{
    ::logRecord(level, QStringLiteral("Api"), QStringLiteral("[%1] ").arg(m_tag) + message);
}

QString ControlApiLog::escaped(QStringView text, int maxLength)
{
    QString out;
    out.reserve(qMin<qsizetype>(text.size(), maxLength) + 8);
    for (const QChar c : text) {
        if (out.size() >= maxLength) {
            if (out.back().isHighSurrogate())
                out.chop(1);
            out += QChar(0x2026);
            break;
        }
        switch (c.unicode()) {
        case '\n':
            out += QLatin1String("\\n");
            continue;
        case '\r':
            out += QLatin1String("\\r");
            continue;
        case '\t':
            out += QLatin1String("\\t");
            continue;
        case '\0':
            out += QLatin1String("\\0");
            continue;
        case '\\':
            out += QLatin1String("\\\\");
            continue;
        default:
            break;
        }
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Other_Format ||
            category == QChar::Separator_Line || category == QChar::Separator_Paragraph)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

void ControlApiLog::answered(const QByteArray &method, const QString &path, int status, const QString &error)
{
    summarise(true);
    if (method == "GET" && status < 400) {
        ++m_reads;
        return;
    }
    const qint64 now = m_clock.elapsed();
    if (now - m_secondStart >= 1000) {
        m_secondStart = now;
        m_linesThisSecond = 0;
    }
    if (++m_linesThisSecond > kLinesPerSecond) {
        ++m_unwritten;
        return;
    }
    write(status < 400 ? INFO : WARNING,
         QStringLiteral("%1 %2 -> %3%4")
             .arg(escaped(QString::fromLatin1(method), 32), escaped(path))
             .arg(status)
             .arg(error.isEmpty() ? QString() : QLatin1Char(' ') + escaped(error)));
}

void ControlApiLog::summarise(bool whenDue)
{
    const qint64 now = m_clock.elapsed();
    if (whenDue && now - m_summaryStart < kSummaryMs)
        return;
    if (m_reads > 0 || m_unwritten > 0)
        write(m_unwritten > 0 ? WARNING : INFO,
             QStringLiteral("in the last %1 s: %2 reads answered%3")
                 .arg((now - m_summaryStart + 500) / 1000)
                 .arg(m_reads)
                 .arg(m_unwritten > 0 ? QStringLiteral(", %1 further requests not logged one by one").arg(m_unwritten)
                                      : QString()));
    m_summaryStart = now;
    m_reads = 0;
    m_unwritten = 0;
}

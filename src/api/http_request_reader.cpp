#include "http_request_reader.h"

namespace {
// RFC 9110 "tchar": the characters of a method or a field name.
bool isTokenChar(char c)
{
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
        return true;
    return c != '\0' && QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text)
        if (!isTokenChar(c))
            return false;
    return true;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Control characters other than a tab (field values, chunk extensions).
bool hasControl(QByteArrayView text)
{
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t') || u == 0x7F)
            return true;
    }
    return false;
}

QByteArrayView withoutBlanks(QByteArrayView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The comma-separated elements of a list field, without blanks, empty ones left out.
QList<QByteArray> listElements(const QByteArray &value)
{
    QList<QByteArray> elements;
    for (const QByteArray &part : value.split(','))
        if (const QByteArrayView element = withoutBlanks(part); !element.isEmpty())
            elements << element.toByteArray().toLower();
    return elements;
}
} // namespace

std::optional<QByteArray> HttpRequestReader::Head::field(QByteArrayView name) const
{
    for (const auto &f : fields)
        if (f.first.compare(name, Qt::CaseInsensitive) == 0)
            return f.second;
    return std::nullopt;
}

bool HttpRequestReader::Head::keepAlive() const
{
    return minorVersion >= 1 && !listElements(field("Connection").value_or(QByteArray())).contains("close");
}

HttpRequestReader::HttpRequestReader(qsizetype maxHead, qsizetype maxBody) : m_maxHead(maxHead), m_maxBody(maxBody)
{
}

void HttpRequestReader::reset()
{
    *this = HttpRequestReader(m_maxHead, m_maxBody);
}

void HttpRequestReader::fail(int status, const char *why)
{
    m_state = State::Failed;
    m_failureStatus = status;
    m_failure = why;
}

qsizetype HttpRequestReader::feed(QByteArrayView data)
{
    switch (m_state) {
    case State::Head:
        return feedHead(data);
    case State::Body:
        return m_chunked ? feedChunked(data) : feedBody(data);
    case State::HeadDone:
    case State::Done:
    case State::Failed:
        break;
    }
    return 0;
}

void HttpRequestReader::readBody()
{
    if (m_state != State::HeadDone)
        return;
    if (m_tooLarge)
        fail(413, "the body is too large");
    else
        m_state = m_chunked || m_remaining > 0 ? State::Body : State::Done;
}

qsizetype HttpRequestReader::feedHead(QByteArrayView data)
{
    const qsizetype before = m_buffer.size();
    const qsizetype take = qMin(data.size(), m_maxHead - before);
    m_buffer.append(data.first(take));
    // Empty lines before the request line are passed over.
    qsizetype blank = 0;
    while (m_buffer.size() >= blank + 2 && m_buffer[blank] == '\r' && m_buffer[blank + 1] == '\n')
        blank += 2;
    m_buffer.remove(0, blank);

    // Every line ends with CR LF, and the head with an empty line.
    for (qsizetype i = qMax<qsizetype>(0, before - blank - 1); i < m_buffer.size(); ++i) {
        const char c = m_buffer[i];
        if (c == '\n' && (i == 0 || m_buffer[i - 1] != '\r')) {
            fail(400, "a line of the head ends without CR LF");
            return take;
        }
        if (c == '\r' && i + 1 < m_buffer.size() && m_buffer[i + 1] != '\n') {
            fail(400, "a CR without LF in the head");
            return take;
        }
        if (c == '\n' && i >= 3 && m_buffer[i - 2] == '\n') {
            const qsizetype end = i + 1;
            const qsizetype unused = m_buffer.size() - end; // taken in this call, all of it
            m_buffer.truncate(end);
            parseHead(QByteArrayView(m_buffer).first(end - 4));
            return take - unused;
        }
    }
    if (m_buffer.size() >= m_maxHead) {
        if (!m_buffer.contains("\r\n"))
            fail(414, "the request target is too long");
        else
            fail(431, "the request head is too large");
    }
    return take;
}

void HttpRequestReader::parseHead(QByteArrayView head)
{
    qsizetype lineEnd = head.indexOf("\r\n");
    if (!parseRequestLine(lineEnd < 0 ? head : head.first(lineEnd)))
        return;
    while (lineEnd >= 0) {
        const qsizetype start = lineEnd + 2;
        lineEnd = head.indexOf("\r\n", start);
        const QByteArrayView line = lineEnd < 0 ? head.sliced(start) : head.sliced(start, lineEnd - start);
        if (line.isEmpty() || isBlank(line.front()))
            return fail(400, "a folded or empty header field");
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || !isToken(line.first(colon)))
            return fail(400, "a malformed header field name");
        const QByteArrayView value = withoutBlanks(line.sliced(colon + 1));
        if (hasControl(value))
            return fail(400, "a control character in a header field");
        if (m_head.fields.size() >= kMaxFields)
            return fail(431, "too many header fields");
        m_head.fields.append({line.first(colon).toByteArray(), value.toByteArray()});
    }
    if (parseFraming())
        m_state = State::HeadDone;
}

bool HttpRequestReader::parseRequestLine(QByteArrayView line)
{
    const qsizetype first = line.indexOf(' ');
    const qsizetype second = first < 0 ? -1 : line.indexOf(' ', first + 1);
    if (second < 0 || line.indexOf(' ', second + 1) >= 0) {
        fail(400, "a malformed request line");
        return false;
    }
    const QByteArrayView method = line.first(first);
    const QByteArrayView target = line.sliced(first + 1, second - first - 1);
    const QByteArrayView version = line.sliced(second + 1);
    bool targetOk = target.startsWith('/');
    for (const char c : target)
        targetOk = targetOk && static_cast<unsigned char>(c) > 0x20 && static_cast<unsigned char>(c) < 0x7F;
    if (!isToken(method) || method.size() > 32 || !targetOk) {
        fail(400, "a malformed request line");
        return false;
    }
    if (version.size() != 8 || !version.startsWith("HTTP/") || version[6] != '.' || hexValue(version[5]) < 0 ||
        hexValue(version[5]) > 9 || hexValue(version[7]) < 0 || hexValue(version[7]) > 9) {
        fail(400, "a malformed request line");
        return false;
    }
    if (version[5] != '1') {
        fail(505, "only HTTP/1.x is served");
        return false;
    }
    m_head.method = method.toByteArray();
    m_head.target = target.toByteArray();
    m_head.minorVersion = version[7] - '0';
    return true;
}

bool HttpRequestReader::parseFraming()
{
    int hosts = 0;
    int lengths = 0;
    QByteArray codings;
    bool coded = false;
    for (const auto &[name, value] : std::as_const(m_head.fields)) {
        if (name.compare("Host", Qt::CaseInsensitive) == 0)
            ++hosts;
        else if (name.compare("Content-Length", Qt::CaseInsensitive) == 0)
            ++lengths;
        else if (name.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0) {
            codings += (coded ? "," : "") + value;
            coded = true;
        }
    }
    if (hosts > 1 || (hosts == 0 && m_head.minorVersion >= 1)) {
        fail(400, "a request names its Host once");
        return false;
    }
    if (coded) {
        const QList<QByteArray> list = listElements(codings);
        if (lengths > 0 || m_head.minorVersion == 0 || list.isEmpty() || list.last() != "chunked") {
            fail(400, "a malformed Transfer-Encoding");
            return false;
        }
        if (list.size() > 1) {
            fail(501, "only the chunked transfer coding is served");
            return false;
        }
        m_chunked = true;
        return true;
    }
    if (lengths == 0)
        return true;
    const QByteArray value = m_head.field("Content-Length").value_or(QByteArray());
    bool digits = lengths == 1 && !value.isEmpty() && value.size() <= 18;
    for (const char c : value)
        digits = digits && c >= '0' && c <= '9';
    if (!digits) {
        fail(400, "a malformed Content-Length");
        return false;
    }
    m_remaining = value.toLongLong();
    m_tooLarge = m_remaining > m_maxBody; // refused once the head has been judged
    return true;
}

qsizetype HttpRequestReader::feedBody(QByteArrayView data)
{
    const qsizetype take = qsizetype(qMin<qint64>(m_remaining, data.size()));
    m_body.append(data.first(take));
    m_remaining -= take;
    if (m_remaining == 0)
        m_state = State::Done;
    return take;
}

bool HttpRequestReader::takeLine(QByteArrayView data, qsizetype *used, qsizetype limit, int tooLongStatus,
                                 const char *tooLong)
{
    const qsizetype lf = data.indexOf('\n');
    const qsizetype n = lf < 0 ? data.size() : lf + 1;
    *used = 0;
    if (m_line.size() + n > limit + 2) {
        fail(tooLongStatus, tooLong);
        return false;
    }
    m_line.append(data.first(n));
    *used = n;
    if (lf < 0)
        return false;
    const QByteArrayView line = QByteArrayView(m_line).chopped(1);
    if (!line.endsWith('\r') || line.chopped(1).contains('\r')) {
        fail(400, "a line of the chunked body ends without CR LF");
        return false;
    }
    m_line.chop(2);
    return true;
}

qsizetype HttpRequestReader::feedChunked(QByteArrayView data)
{
    qsizetype used = 0;
    while (used < data.size() && m_state == State::Body) {
        const QByteArrayView rest = data.sliced(used);
        qsizetype n = 0;
        switch (m_chunk) {
        case Chunk::Size:
            if (takeLine(rest, &n, kMaxChunkLine, 400, "a malformed chunk size"))
                chunkSizeLine();
            break;
        case Chunk::Data:
            n = qsizetype(qMin<qint64>(m_remaining, rest.size()));
            m_body.append(rest.first(n));
            m_remaining -= n;
            if (m_remaining == 0)
                m_chunk = Chunk::DataEnd;
            break;
        case Chunk::DataEnd:
            if (takeLine(rest, &n, 0, 400, "a chunk longer than its size")) {
                m_chunk = Chunk::Size;
            }
            break;
        case Chunk::Trailer:
            if (takeLine(rest, &n, m_maxHead - m_trailerBytes, 431, "the trailer is too large")) {
                m_trailerBytes += m_line.size() + 2;
                const qsizetype colon = m_line.indexOf(':');
                if (m_line.isEmpty())
                    m_state = State::Done;
                else if (colon <= 0 || !isToken(QByteArrayView(m_line).first(colon)) || hasControl(m_line))
                    fail(400, "a malformed trailer field");
                m_line.clear();
            }
            break;
        }
        used += n;
    }
    return used;
}

void HttpRequestReader::chunkSizeLine()
{
    const QByteArrayView line(m_line);
    qsizetype digits = 0;
    qint64 size = 0;
    for (; digits < line.size() && hexValue(line[digits]) >= 0; ++digits)
        if (size <= m_maxBody) // beyond, it is too large whatever follows
            size = size * 16 + hexValue(line[digits]);
    const QByteArrayView extension = withoutBlanks(line.sliced(digits));
    if (digits == 0 || (!extension.isEmpty() && !extension.startsWith(';')) || hasControl(extension)) {
        fail(400, "a malformed chunk size");
        return;
    }
    m_line.clear();
    if (size == 0) {
        m_chunk = Chunk::Trailer;
    } else if (size > m_maxBody - m_body.size()) {
        fail(413, "the body is too large");
    } else {
        m_remaining = size;
        m_chunk = Chunk::Data;
    }
}

// The control API's HTTP transport over real sockets on 127.0.0.1, with raw bytes so
// that malformed requests can be sent, against a stand-in backend that records what
// reached the "camera".
#include "control_api_client.h"
#include "control_api_endpoint.h"
#include "control_api_log.h"
#include "control_api_server.h"
#include "control_api_settings.h"
#include "log_capture.h"
#include "termination_signals.h"

#include <QJsonDocument>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {
using Availability = ControlApiBackend::Availability;

class StubBackend : public ControlApiBackend {
public:
    Availability state = Availability::Ready;
    QStringList sent; // what reached the camera, in order

    Availability availability() const override { return state; }
    QList<Camera> cameras() const override
    {
        Camera camera;
        camera.index = 0;
        camera.entry = DeviceEntry{"Desk", "SN1", "2024-06-18", "RV-K310A-WU", true};
        return {camera};
    }
    std::optional<Param> param(const Camera &, const QString &) override { return std::nullopt; }
    void newRequest(const Camera &) override {}
    std::optional<QByteArray> exchange(int, quint32, const QByteArray &text) override
    {
        sent << QString::fromUtf8(text);
        return QByteArray(R"({"Content":{"nResult":0}})");
    }
    bool select(const Camera &) override
    {
        sent << "select";
        return true;
    }
    void valueSent(const Camera &, const QString &, int) override {}
    void recordWritten(const Camera &) override {}
};

struct Rig {
    StubBackend *backend = new StubBackend;
    ControlApiServer server{std::unique_ptr<ControlApiBackend>(backend)};

    explicit Rig(const ControlApiLimits &limits = {}, const QString &token = {})
    {
        server.setLimits(limits);
        ControlApiSettings settings;
        settings.port = 0;
        settings.token = token;
        QString error;
        if (!server.start(settings, &error))
            qFatal("%s", qPrintable(error));
    }
};

struct Response {
    int status = 0;
    QByteArray head;
    QByteArray body;
    QByteArray header(const QByteArray &name) const
    {
        for (const QByteArray &line : head.split('\n'))
            if (line.toLower().startsWith(name.toLower() + ":"))
                return line.mid(name.size() + 1).trimmed();
        return {};
    }
};

// A raw connection; what it waits for, it waits for in the event loop (the server
// runs on this thread).
struct Client {
    QTcpSocket socket;
    QByteArray in;

    explicit Client(quint16 port, const QByteArray &bytes = {})
    {
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.write(bytes);
    }
    static QByteArray request(const QByteArray &line, const QByteArray &fields = {}, const QByteArray &body = {})
    {
        return line + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + fields + "\r\n" + body;
    }
    std::optional<Response> take()
    {
        in += socket.readAll();
        const qsizetype end = in.indexOf("\r\n\r\n");
        if (end < 0)
            return std::nullopt;
        Response r{in.mid(9, 3).toInt(), in.left(end), {}};
        const qsizetype length = r.header("Content-Length").toLongLong();
        if (in.size() < end + 4 + length)
            return std::nullopt;
        r.body = in.mid(end + 4, length);
        in.remove(0, end + 4 + length);
        return r;
    }
    Response next(int ms = 5000)
    {
        std::optional<Response> r;
        return QTest::qWaitFor([&] { return (r = take()).has_value(); }, ms) ? *r : Response{};
    }
    bool receives(const QByteArray &text, int ms = 5000)
    {
        return QTest::qWaitFor([&] { return (in += socket.readAll()).contains(text); }, ms);
    }
    bool closed(int ms = 5000)
    {
        return QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, ms);
    }
};

const QByteArray kSelect = "POST /api/v1/cameras/SN1/select";
} // namespace

class TestControlApiHttp : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { AppPaths::setApplicationDirOverride(m_dir.path()); }
    void framing_data();
    void framing();
    void timeAndConnectionsAreBounded();
    void tokens_data();
    void tokens();
    void tokenLine_data();
    void tokenLine();
    void waitingPolicy_data();
    void waitingPolicy();
    void stopsPassTheQueue();
    void eventStream();
    void logLinesAreEscapedAndFew();
    void cliTrustsOnlyARunningGui();

private:
    QTemporaryDir m_dir;
};

void TestControlApiHttp::framing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("status");
    const QByteArray host = "Host: 127.0.0.1\r\n";
    const QByteArray chunked = "Transfer-Encoding: chunked\r\n";
    QTest::newRow("plain") << Client::request(kSelect, "Content-Length: 0\r\n") << 200;
    QTest::newRow("chunked") << Client::request(kSelect, chunked, "2\r\n{}\r\n0\r\n\r\n") << 200;
    QTest::newRow("negative length") << Client::request(kSelect, "Content-Length: -5\r\n") << 400;
    QTest::newRow("garbled length") << Client::request(kSelect, "Content-Length: 2x\r\n", "{}") << 400;
    QTest::newRow("two lengths") << Client::request(kSelect, "Content-Length: 0\r\nContent-Length: 0\r\n") << 400;
    QTest::newRow("length and chunked") << Client::request(kSelect, "Content-Length: 5\r\n" + chunked, "0\r\n\r\n")
                                        << 400;
    QTest::newRow("chunk size ZZ") << Client::request(kSelect, chunked, "ZZ\r\n{}\r\n0\r\n\r\n") << 400;
    QTest::newRow("chunk overrun") << Client::request(kSelect, chunked, "1\r\n{}\r\n0\r\n\r\n") << 400;
    QTest::newRow("bare LF") << kSelect + " HTTP/1.1\n" + host + "\n" << 400;
    QTest::newRow("request line") << "POST  /api/v1/cameras/SN1/select HTTP/1.1\r\n" + host + "\r\n" << 400;
    QTest::newRow("not HTTP") << kSelect + " HTTX/1.1\r\n" + host + "\r\n" << 400;
    QTest::newRow("HTTP/2") << kSelect + " HTTP/2.0\r\n" + host + "\r\n" << 505;
    QTest::newRow("no Host") << kSelect + " HTTP/1.1\r\n\r\n" << 400;
    QTest::newRow("folded field") << Client::request(kSelect, "X-A: 1\r\n  2\r\n") << 400;
    QTest::newRow("gzip") << Client::request(kSelect, "Transfer-Encoding: gzip, chunked\r\n", "0\r\n\r\n") << 501;
    QTest::newRow("declared 1 GB") << Client::request(kSelect, "Content-Length: 1000000000\r\n") << 413;
    QTest::newRow("chunks past 64 KiB")
        << Client::request(kSelect, chunked, "f000\r\n" + QByteArray(0xf000, ' ') + "\r\n2000\r\n") << 413;
    QTest::newRow("head 17 KiB") << Client::request(kSelect, "X-A: " + QByteArray(17 * 1024, 'a') + "\r\n") << 431;
    QTest::newRow("target 17 KiB") << Client::request(kSelect + QByteArray(17 * 1024, 'a')) << 414;
}

// Malformed or oversized framing is refused and nothing of it is carried out; the
// refusal comes without waiting for the rest of the body.
void TestControlApiHttp::framing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    Rig rig;
    Client client(rig.server.port(), bytes);
    QCOMPARE(client.next().status, status);
    QCOMPARE(rig.backend->sent, status == 200 ? QStringList{"select"} : QStringList{});
    if (status != 200)
        QVERIFY(client.closed());
}

void TestControlApiHttp::timeAndConnectionsAreBounded()
{
    ControlApiLimits limits;
    limits.requestTimeoutMs = 1000;
    limits.maxConnections = 3;
    Rig rig(limits);
    // Half a request: 408, then closed. Nothing at all: closed.
    Client half(rig.server.port(), "GET /api/v1 HTTP/1.1\r\nHo");
    Client idle(rig.server.port());
    // Kept alive: two requests in one write, answered in order on one connection.
    Client kept(rig.server.port(), Client::request("GET /api/v1") + Client::request("GET /api/v2"));
    QCOMPARE(kept.next().status, 200);
    QCOMPARE(kept.next().status, 404);
    QCOMPARE(rig.server.connections(), 3);
    // One more waits, untaken, until one of them has ended.
    Client over(rig.server.port(), Client::request("GET /api/v1"));
    QCOMPARE(over.next(300).status, 0);
    QCOMPARE(half.next().status, 408);
    QCOMPARE(over.next().status, 200);
    QVERIFY(half.closed() && idle.closed() && kept.closed() && over.closed());
    QTRY_COMPARE(rig.server.connections(), 0);
}

void TestControlApiHttp::tokens_data()
{
    QTest::addColumn<QByteArray>("authorization");
    QTest::addColumn<int>("status");
    QTest::newRow("none") << QByteArray() << 401;
    QTest::newRow("right") << QByteArray("Bearer 0123456789abcdef") << 200;
    QTest::newRow("scheme in any case") << QByteArray("bEARER   0123456789abcdef") << 200;
    QTest::newRow("wrong") << QByteArray("Bearer 0123456789abcdeF") << 401;
    QTest::newRow("other scheme") << QByteArray("Basic 0123456789abcdef") << 401;
}

void TestControlApiHttp::tokens()
{
    QFETCH(QByteArray, authorization);
    QFETCH(int, status);
    ControlApiLimits limits;
    limits.authWindowMs = 10000; // ten failures within it, however slow the machine
    Rig rig(limits, "0123456789abcdef");
    const QByteArray field = authorization.isEmpty() ? QByteArray() : "Authorization: " + authorization + "\r\n";
    // Judged on the head, first: the answer comes before any of the announced body,
    // and only who may send a body learns that this one is too large.
    Client client(rig.server.port(), Client::request(kSelect, field + "Content-Length: 1000000000\r\n"));
    const Response r = client.next();
    QCOMPARE(r.status, status == 200 ? 413 : status);
    if (status == 401)
        QCOMPARE(r.header("WWW-Authenticate"), QByteArray("Bearer"));
    QVERIFY(rig.backend->sent.isEmpty());
    if (status != 401)
        return;
    // Guessing is slowed down: after ten wrong tokens even the right one gets 429
    // until the window has passed.
    for (int i = 0; i < 9; ++i)
        QCOMPARE(Client(rig.server.port(), Client::request("GET /api/v1", field)).next().status, 401);
    const Response limited =
        Client(rig.server.port(), Client::request("GET /api/v1", "Authorization: Bearer 0123456789abcdef\r\n")).next();
    QCOMPARE(limited.status, 429);
    QCOMPARE(limited.header("Retry-After"), QByteArray("10"));

    ControlApiServer shortToken(std::make_unique<StubBackend>());
    ControlApiSettings settings;
    settings.token = "0123456789abcde";
    QString error;
    QVERIFY(!shortToken.start(settings, &error));
    QVERIFY2(error.contains("at least 16"), qPrintable(error));
}

void TestControlApiHttp::tokenLine_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("token");
    QTest::newRow("comma") << QByteArray("[ControlApi]\nToken=abc,def\n") << "abc,def";
    QTest::newRow("semicolon, CRLF") << QByteArray("[ControlApi]\r\nToken = abc;def \r\nPort=1\r\n") << "abc;def";
    QTest::newRow("quoted") << QByteArray("[ControlApi]\nToken=\"a,b\"\n") << "a,b";
    QTest::newRow("other group") << QByteArray("[ControlApi]\nPort=1\n[Other]\nToken=x\n") << "-";
}

// QSettings splits "abc,def" into a list and cuts "abc;def": the token is read as written.
void TestControlApiHttp::tokenLine()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, token);
    QCOMPARE(ControlApiSettings::tokenAsWritten(ini).value_or("-"), token);
    QFile file(ControlApiSettings::filePath());
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size());
    file.close();
    QCOMPARE(ControlApiSettings::load().token, token == "-" ? QString() : token);
    QFile::remove(ControlApiSettings::filePath());
}

void TestControlApiHttp::waitingPolicy_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("retryAfter");
    QTest::addColumn<QString>("error");
    const int upgrading = int(Availability::Upgrading);
    QTest::newRow("busy") << int(Availability::Busy) << kSelect << 503 << QByteArray("1") << "busy";
    QTest::newRow("upgrade, camera") << upgrading << kSelect << 503 << QByteArray("5") << "firmware upgrade";
    QTest::newRow("upgrade, list") << upgrading << QByteArray("GET /api/v1/cameras") << 200 << QByteArray() << "";
    QTest::newRow("series") << int(Availability::AwaitingSeries) << QByteArray("GET /api/v1/cameras") << 503
                            << QByteArray("5") << "waiting for the series selection in the window";
    QTest::newRow("events, other method") << upgrading << QByteArray("POST /api/v1/events") << 405
                                          << QByteArray() << "method";
}

// A busy panel is waited for (here 300 ms); an upgrade or the series choice refuses at once.
void TestControlApiHttp::waitingPolicy()
{
    QFETCH(int, state);
    QFETCH(QByteArray, request);
    QFETCH(int, status);
    QFETCH(QByteArray, retryAfter);
    QFETCH(QString, error);
    ControlApiLimits limits;
    limits.maxWaitMs = state == int(Availability::Busy) ? 300 : 60000;
    Rig rig(limits);
    rig.backend->state = Availability(state);
    Client client(rig.server.port(), Client::request(request, "Content-Length: 0\r\n"));
    const Response r = client.next();
    QCOMPARE(r.status, status);
    QCOMPARE(r.header("Retry-After"), retryAfter);
    QVERIFY2(QString::fromUtf8(r.body).contains(error), r.body.constData());
    QCOMPARE(r.header("Allow"), status == 405 ? QByteArray("GET") : QByteArray());
    QVERIFY(rig.backend->sent.isEmpty());
}

// A stop is never refused for a full queue and goes ahead of what waits.
void TestControlApiHttp::stopsPassTheQueue()
{
    ControlApiLimits limits;
    limits.maxWaiting = 2;
    Rig rig(limits);
    rig.backend->state = Availability::Busy;
    const auto ptz = [](const QByteArray &word) {
        const QByteArray body = R"({"command":")" + word + R"("})";
        const QByteArray length = "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
        return Client::request("POST /api/v1/cameras/SN1/ptz", length, body);
    };
    Client left(rig.server.port(), ptz("Left"));
    QTRY_COMPARE(rig.server.waiting(), 1);
    Client select(rig.server.port(), Client::request(kSelect, "Content-Length: 0\r\n"));
    QTRY_COMPARE(rig.server.waiting(), 2);
    Client right(rig.server.port(), ptz("Right"));
    QCOMPARE(right.next().status, 503);
    Client stop(rig.server.port(), ptz("Stop"));
    QTRY_COMPARE(rig.server.waiting(), 3);
    rig.backend->state = Availability::Ready;
    for (Client *c : {&left, &select, &stop})
        QCOMPARE(c->next().status, 200);
    QCOMPARE(rig.backend->sent.size(), 3);
    QVERIFY2(rig.backend->sent[0].contains("Stop") && rig.backend->sent[1].contains("PtzCmd"),
             qPrintable(rig.backend->sent.join(' ')));
    QCOMPARE(rig.backend->sent[2], QString("select"));
}

void TestControlApiHttp::eventStream()
{
    ControlApiLimits limits;
    limits.requestTimeoutMs = 200;
    limits.keepAliveCommentMs = 300;
    limits.maxSubscribers = 2;
    limits.maxEventBacklog = 64 * 1024;
    Rig rig(limits);
    Client reader(rig.server.port(), Client::request("GET /api/v1/events"));
    Client stalled(rig.server.port());
    stalled.socket.setReadBufferSize(1); // reads nothing more
    stalled.socket.write(Client::request("GET /api/v1/events"));
    QTRY_COMPARE(rig.server.subscribers(), 2);
    QCOMPARE(Client(rig.server.port(), Client::request("GET /api/v1/events")).next().status, 503);
    QVERIFY(reader.receives("\r\n\r\n"));
    QVERIFY(reader.in.startsWith("HTTP/1.1 200 OK\r\nContent-Type: text/event-stream\r\n"));
    rig.server.publish(QJsonObject{{"event", "selection"}, {"serial", "SN1"}});
    QVERIFY(reader.receives("\r\n\r\ndata: {\"event\":\"selection\",\"serial\":\"SN1\"}\n\n"));
    // Past the request time-out it stays open and gets the keep-alive comment.
    QVERIFY(reader.receives("\n\n: keep-alive\n\n"));
    // A subscriber that does not read is dropped once its backlog passes the limit.
    const QJsonObject big{{"event", QString(16 * 1024, 'x')}};
    for (int i = 0; i < 2000 && rig.server.subscribers() == 2; ++i) {
        rig.server.publish(big);
        reader.socket.readAll();
        QCoreApplication::processEvents();
    }
    QCOMPARE(rig.server.subscribers(), 1);
    QCOMPARE(reader.socket.state(), QAbstractSocket::ConnectedState);
}

void TestControlApiHttp::logLinesAreEscapedAndFew()
{
    LogCapture log;
    {
        Rig rig;
        Client forged(rig.server.port(), Client::request("GET /api/v1/cameras/SN%0A[FORGED]%00%E2%80%AE/params"));
        QCOMPARE(forged.next().status, 404);
        Client huge(rig.server.port(), Client::request("GET /api/v1/x" + QByteArray(70000, 'a')));
        QCOMPARE(huge.next().status, 414);
        Client poll(rig.server.port());
        for (int i = 0; i < 30; ++i) {
            poll.socket.write(Client::request("GET /api/v1/cameras"));
            QCOMPARE(poll.next().status, 200);
        }
    }
    const QStringList lines = log.text().split('\n', Qt::SkipEmptyParts);
    QVERIFY2(log.contains(R"(SN\n[FORGED]\0\u202e/params)"), qPrintable(log.text()));
    for (const QString &line : lines) {
        QVERIFY2(!line.startsWith("[FORGED]") && !line.contains(QChar(0)), qPrintable(line));
        QVERIFY2(line.size() < 600, qPrintable(line.left(300)));
    }
    QCOMPARE(log.count("GET /api/v1/cameras -> 200"), 0);
    QVERIFY(log.contains("30 reads answered")); // summed up when the server ends
}

// The CLI sends its token only to a running GUI that announced itself; the GUI takes
// the announcement back when it is asked to end.
void TestControlApiHttp::cliTrustsOnlyARunningGui()
{
    QTcpServer stranger;
    QVERIFY(stranger.listen(QHostAddress::LocalHost));
    const auto announce = [&](qint64 pid) {
        QFile file(ControlApiEndpoint::filePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QJsonObject object{{"host", "127.0.0.1"}, {"port", stranger.serverPort()}, {"pid", pid}};
        file.write(QJsonDocument(object).toJson());
    };
    QProcess sleeper;
    sleeper.start("sleep", {"30"});
    QVERIFY(sleeper.waitForStarted());
    announce(sleeper.processId()); // alive, not the GUI
    QVERIFY(!ControlApiEndpoint::readTrusted() && !ControlApiClient::discover());
    const qint64 gone = sleeper.processId();
    sleeper.kill();
    QVERIFY(sleeper.waitForFinished());
    announce(gone);
    QVERIFY(!ControlApiEndpoint::readTrusted() && !ControlApiClient::discover());
    QVERIFY(!stranger.hasPendingConnections());

    auto rig = std::make_unique<Rig>();
    QCOMPARE(ControlApiClient::discover().has_value(), true);
    TerminationSignals termination([&] { rig.reset(); });
    std::raise(SIGTERM);
    QTRY_VERIFY(!rig);
    QVERIFY(!QFile::exists(ControlApiEndpoint::filePath()));
}

QTEST_MAIN(TestControlApiHttp)
#include "test_control_api_http.moc"

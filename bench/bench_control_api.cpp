// The control API's round trip over a real socket on 127.0.0.1, against the control
// panel with one simulated camera: a parameter read (from the panel's record, and
// fresh from the camera with "?fresh=1") and a PTZ stop; on a connection kept open
// and on a new connection per request; with the preview closed and open.
// Counters: median and 99th percentile of the round trip in milliseconds.
// Requests are paced (kPauseMs apart) so that the panel and the preview run between them.
#include "control_api_server.h"
#include "control_api_settings.h"
#include "bench_panel.h"
#include "offscreen_benchmark_main.h"
#include "panel_api_backend.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

namespace {
constexpr int kPauseMs = 7;

// One answer read to its end (Content-Length), the event loop running meanwhile: the
// server lives on this thread.
bool readAnswer(QTcpSocket &socket, QByteArray *status)
{
    QByteArray in;
    QEventLoop loop;
    const auto complete = [&] {
        in += socket.readAll();
        const qsizetype end = in.indexOf("\r\n\r\n");
        if (end < 0)
            return false;
        const qsizetype at = in.indexOf("Content-Length: ");
        const qsizetype length = at < 0 ? 0 : in.mid(at + 16, in.indexOf('\r', at) - at - 16).toLongLong();
        return in.size() >= end + 4 + length;
    };
    const QMetaObject::Connection c = QObject::connect(&socket, &QTcpSocket::readyRead, &loop, [&] {
        if (complete())
            loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    if (!complete())
        loop.exec();
    QObject::disconnect(c);
    *status = in.mid(9, 3);
    return complete();
}

// Arguments: request (0 read from the record, 1 fresh read, 2 PTZ stop), connection
// kept open (1) or new per request (0), preview open (1).
void BM_ApiRoundTrip(benchmark::State &state)
{
    const int kind = int(state.range(0));
    const bool keepAlive = state.range(1) != 0;
    const bool preview = state.range(2) != 0;
    {
        BenchPanel bench(preview);
        Widget &panel = bench.panel();
        ControlApiServer server(std::make_unique<PanelApiBackend>([&panel] { return &panel; }));
        ControlApiSettings settings;
        settings.port = 0;
        QString error;
        if (!server.start(settings, &error) || !bench.ready()) {
            state.SkipWithError(qPrintable(error.isEmpty() ? QStringLiteral("no preview") : error));
            return;
        }
        const QString serial = panel.currentSerial();
        const QByteArray path = "/api/v1/cameras/" + serial.toUtf8() + (kind == 2 ? "/ptz" : "/params/Luminance");
        const QByteArray body = kind == 2 ? R"({"command":"Stop"})" : "";
        const QByteArray request = (kind == 2 ? "POST " : "GET ") + path + (kind == 1 ? "?fresh=1" : "") +
                                   " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: " +
                                   QByteArray::number(body.size()) + "\r\n" +
                                   (keepAlive ? "" : "Connection: close\r\n") + "\r\n" + body;
        QTcpSocket socket;
        std::vector<double> ms;
        QElapsedTimer clock;
        for (auto _ : state) {
            // Requests come as a controller polls (about 100 a second): the panel's
            // timers and the preview's frames run in between, as they would.
            QTest::qWait(kPauseMs);
            clock.start();
            if (socket.state() != QAbstractSocket::ConnectedState) {
                socket.abort();
                socket.connectToHost(QHostAddress::LocalHost, server.port());
                socket.waitForConnected(5000);
            }
            socket.write(request);
            QByteArray status;
            if (!readAnswer(socket, &status) || status != "200") {
                state.SkipWithError(("answer " + status).constData());
                break;
            }
            if (!keepAlive)
                socket.abort();
            recordRoundTrip(state, ms, clock);
        }
        reportLatency(state, ms);
    }
}
BENCHMARK(BM_ApiRoundTrip)
    ->ArgsProduct({{0, 1, 2}, {1, 0}, {0, 1}})
    ->ArgNames({"request", "keepalive", "preview"})
    ->Apply(roundTripRuns);

} // namespace

int main(int argc, char **argv)
{
    return runOffscreenBenchmarks(argc, argv);
}

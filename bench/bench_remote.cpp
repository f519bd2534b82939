// From a controller's message to the camera's word: VISCA over IP (UDP, with its
// header), raw VISCA over TCP and OSC, on 127.0.0.1, against the control panel with
// one simulated camera, with the preview closed and open. The clock runs from the
// send to the VISCA completion (sent once the camera has answered its word) or, for
// OSC, which has no answers, to the moment the camera's answer was handled.
// Counters: median and 99th percentile in milliseconds. Messages are paced (kPauseMs
// apart) as a controller sends them, so that the panel and the preview run between.
#include "control_request_queue.h"
#include "bench_panel.h"
#include "offscreen_benchmark_main.h"
#include "osc_server.h"
#include "panel_api_backend.h"
#include "visca_server.h"

#include <QElapsedTimer>
#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkDatagram>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include <lo/lo.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace {
constexpr int kPauseMs = 7;
const QByteArray kStop = QByteArray::fromHex("8101060101010303FF");
const QByteArray kCompletion = QByteArray::fromHex("9051FF");

// Runs the event loop until `done` or ten seconds; false on the time-out.
bool waitFor(const std::function<bool()> &done)
{
    QTimer heartbeat; // the loop wakes up to look at the clock even when nothing comes
    heartbeat.start(100);
    QElapsedTimer limit;
    limit.start();
    while (!done()) {
        if (limit.elapsed() > 10000)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

QByteArray oscStop()
{
    lo_message message = lo_message_new();
    size_t size = 0;
    void *bytes = lo_message_serialise(message, "/kestrane/active/ptz/stop", nullptr, &size);
    const QByteArray out(static_cast<const char *>(bytes), qsizetype(size));
    free(bytes);
    lo_message_free(message);
    return out;
}

// Arguments: protocol (0 VISCA over UDP, 1 VISCA over TCP, 2 OSC), preview open (1).
void BM_RemoteRoundTrip(benchmark::State &state)
{
    const int protocol = int(state.range(0));
    const bool preview = state.range(1) != 0;
    {
        BenchPanel bench(preview);
        Widget &panel = bench.panel();
        ControlRequestQueue queue(std::make_unique<PanelApiBackend>([&panel] { return &panel; }));
        QTemporaryDir files;
        {
            // Ports of the system's choosing, so that a running tool is not disturbed.
            QUdpSocket udp;
            QTcpServer tcp;
            udp.bind(QHostAddress::LocalHost, 0);
            tcp.listen(QHostAddress::LocalHost, 0);
            QSettings ini(files.filePath("visca.ini"), QSettings::IniFormat);
            ini.setValue("Cameras/1/Serial", panel.currentSerial());
            ini.setValue("Cameras/1/Udp", udp.localPort());
            ini.setValue("Cameras/1/Tcp", tcp.serverPort());
            ini.setValue("Cameras/size", 1);
        }
        ViscaServer visca(&queue);
        OscServer osc(&queue);
        QString error;
        if (!visca.start(QString(), &error, files.filePath("visca.ini")) || !visca.ports(panel.currentSerial()) ||
            !osc.start(0, RemotePeerPolicy(), &error) || !bench.ready()) {
            state.SkipWithError(qPrintable(error.isEmpty() ? QStringLiteral("not served") : error));
            return;
        }
        const ViscaPortTable::Ports ports = *visca.ports(panel.currentSerial());
        QUdpSocket udp;
        udp.bind(QHostAddress::LocalHost, 0);
        QTcpSocket tcp;
        if (protocol == 1) {
            tcp.connectToHost(QHostAddress::LocalHost, ports.tcp);
            tcp.waitForConnected(5000);
        }
        const QByteArray oscMessage = oscStop();
        int handled = 0;
        QObject::connect(&osc, &OscServer::handled, &osc, [&handled](const QString &, int status) {
            if (status == 200)
                ++handled;
        });
        std::vector<double> ms;
        QElapsedTimer clock;
        quint32 sequence = 0;
        for (auto _ : state) {
            QTest::qWait(kPauseMs);
            bool done = false;
            QByteArray last;
            clock.start();
            if (protocol == 0) {
                QByteArray header(8, 0);
                header[1] = 0x00;
                header[0] = 0x01;
                header[3] = char(kStop.size());
                ++sequence;
                for (int i = 0; i < 4; ++i)
                    header[4 + i] = char(sequence >> (24 - 8 * i));
                udp.writeDatagram(header + kStop, QHostAddress::LocalHost, ports.udp);
                done = waitFor(
                    [&] {
                        while (udp.hasPendingDatagrams()) {
                            const QByteArray answer = udp.receiveDatagram().data();
                            if (answer.endsWith(kCompletion))
                                return true;
                            last = answer;
                        }
                        return false;
                    });
            } else if (protocol == 1) {
                tcp.write(kStop);
                QByteArray in;
                done = waitFor([&] { in += tcp.readAll(); return in.endsWith(kCompletion); });
            } else {
                const int before = handled;
                udp.writeDatagram(oscMessage, QHostAddress::LocalHost, osc.port());
                done = waitFor([&] { return handled > before; });
            }
            if (!done) {
                state.SkipWithError(("no answer; last " + last.toHex(' ')).constData());
                break;
            }
            recordRoundTrip(state, ms, clock);
        }
        reportLatency(state, ms);
    }
}
BENCHMARK(BM_RemoteRoundTrip)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->ArgNames({"protocol", "preview"})
    ->Apply(roundTripRuns);

} // namespace

int main(int argc, char **argv)
{
    return runOffscreenBenchmarks(argc, argv);
}

// Tool-side cost of the HID exchanges: request/reply round trips through the
// simulated bus, and framing one 1 MiB firmware block into 1049 reports.
#include "command_texts.h"
#include "device_sender.h"
#include "hid_manager.h"
#include "log_manager.h"
#include "packet_cmd.h"
#include "packet_codec.h"
#include "simulated_camera_bus.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>

#include <cstring>

namespace {
// Accepts every write and answers each read with one prepared report: what remains
// is the tool's own work.
class SinkBackend : public HidBackend {
public:
    QByteArray replyReport = PacketCodec::buildReply(CmdUpgradeData, "{\"UpdateStatus\":1,\"Progress\":5}", true);
    int init() override { return 0; }
    int exit() override { return 0; }
    QList<HidDeviceInfo> enumerate(quint16) override { return {{1, 1, "sink"}}; }
    Handle open(const QByteArray &) override { return this; }
    int setNonBlocking(Handle, int) override { return 0; }
    int write(Handle, const unsigned char *, size_t length) override { return int(length); }
    int readTimeout(Handle, unsigned char *data, size_t length, int) override
    {
        const size_t n = qMin(length, size_t(replyReport.size()));
        std::memcpy(data, replyReport.constData(), n);
        return int(n);
    }
    void close(Handle) override {}
    QString errorText(Handle) override { return {}; }
};

// Argument 0: logging as shipped (every record at DEBUG and above reaches the file);
// argument 1: INFO and above only, which leaves the per-packet debug lines out.
void configureLog(int64_t variant)
{
    LogManager::instance()->setConsoleOutput(false);
    LogManager::instance()->setLogLevel(variant == 0 ? DEBUG : INFO);
}

void BM_FirmwareBlockFraming(benchmark::State &state)
{
    configureLog(state.range(0));
    SinkBackend sink;
    HidBackend::setActive(&sink);
    {
        HIDManager manager;
        manager.openDevice("sink");
        DeviceSender sender([&manager](int i) { return i == 0 ? &manager : nullptr; });
        const QByteArray block(1048576, '\x5a');
        char reply[DeviceSender::kReplyBufferSize];
        for (auto _ : state) {
            const bool ok = sender.sendDataToDevice(0, CmdUpgradeData, block.constData(), int(block.size()), reply);
            benchmark::DoNotOptimize(ok);
        }
        state.counters["packets"] = double(PacketCodec::buildChunks(CmdUpgradeData, block.constData(), 1048576).size());
        state.SetBytesProcessed(int64_t(state.iterations()) * block.size());
    }
    HidBackend::setActive(nullptr);
}
BENCHMARK(BM_FirmwareBlockFraming)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SimulatedExchange(benchmark::State &state)
{
    configureLog(state.range(0));
    SimulatedCameraBus *bus = SimulatedCameraBus::install({"RV-K310A-WU"}, 0x2E7E);
    {
        HIDManager scanner;
        const auto devices = scanner.enumerateDevices(0x2E7E);
        HIDManager manager;
        manager.openDevice(devices.value(0).path);
        DeviceSender sender([&manager](int i) { return i == 0 ? &manager : nullptr; });
        const QByteArray text = CommandTexts::getDeviceDirection();
        char reply[DeviceSender::kReplyBufferSize];
        for (auto _ : state) {
            const bool ok = sender.sendText(0, CmdJson, text, reply);
            if (!ok)
                state.SkipWithError("the simulated camera did not answer");
            benchmark::DoNotOptimize(ok);
        }
        state.counters["exchanges/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    }
    HidBackend::setActive(nullptr);
    delete bus;
}
BENCHMARK(BM_SimulatedExchange)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // Records go to a scratch directory, not beside the benchmark.
    LogManager::instance()->setLogDirectory(QDir::tempPath() + "/kestrane-bench-logs");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

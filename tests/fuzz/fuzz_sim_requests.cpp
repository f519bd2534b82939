// The simulated camera's side of the protocol on any sequence of request reports:
// reassembly of multi-packet requests, every command with any payload. What it keeps
// and queues stays bounded.
#include "device_models.h"
#include "fuzz_environment.h"
#include "fuzz_input.h"
#include "fuzz_target.h"
#include "packet_cmd.h"
#include "packet_codec.h"
#include "simulated_camera.h"

KESTRANE_FUZZ_TARGET(sim_requests)
{
    FuzzEnvironment::ensure();
    FuzzInput input(data, size);
    const quint8 mode = input.byte();
    static const QStringList models = knownModelCodes();
    SimulatedCamera camera(models.value(mode % models.size()), QStringLiteral("Fuzz"), QStringLiteral("SN0001"),
                           0x0001);
    while (!input.atEnd()) {
        QByteArray report = input.chunk();
        // Most reports carry a well-formed header so that the commands are reached.
        if (report.size() >= 1 && (quint8(report[0]) & 0x80) == 0) {
            const quint8 flags = quint8(report[0]);
            const QByteArray payload = report.mid(1, PacketCodec::kMaxSinglePayload);
            static const quint32 ids[] = {CmdJson,         CmdGetParam,        CmdSetVideoParam,
                                          CmdSetDeviceName, CmdReboot,          CmdSetDefaultParam,
                                          CmdGetDeviceInfo, CmdUpgradeRequest,  CmdUpgradeData,
                                          CmdGetUpgradeStatus};
            report = PacketCodec::buildRequest(ids[flags % 10], payload.constData(), int(payload.size()),
                                               !(flags & 0x40));
        }
        camera.write(report);
        qint64 readyIn = 0;
        int taken = 0;
        while (!camera.takeReport(&readyIn).isEmpty())
            FUZZ_CHECK(++taken <= SimulatedCamera::kMaxPendingReports);
    }
    FUZZ_CHECK(camera.receivedRequests().size() <= SimulatedCamera::kMaxRecordedRequests);
    for (const auto &request : camera.receivedRequests())
        FUZZ_CHECK(request.payload.size() <= SimulatedCamera::kMaxRecordedPayload);
    return 0;
}

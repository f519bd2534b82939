// Writes the seed corpus of every fuzz target into the directory given: real replies
// of the simulated cameras (healthy and with each fault), real request reports, and
// real-looking files. Run once when a target or the protocol changes; the files are
// committed under tests/fuzz/corpus/<target>/ next to what fuzzing found.
#include "adjustment_file.h"
#include "camera_config_file.h"
#include "camera_params.h"
#include "command_texts.h"
#include "fuzz_input.h"
#include "packet_cmd.h"
#include "packet_codec.h"
#include "simulated_camera.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {
QString g_root;

void seed(const char *target, const QByteArray &bytes)
{
    QDir dir(g_root);
    dir.mkpath(QLatin1String(target));
    const QByteArray name = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
    QFile file(dir.filePath(QLatin1String(target) + '/' + QLatin1String("seed-") + QString::fromLatin1(name)));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

struct Request {
    quint32 cmdId;
    QByteArray text;
};

QList<Request> catalogue()
{
    return {
        {CmdGetDeviceInfo, {}},
        {CmdJson, CommandTexts::getDeviceDirection()},
        {CmdGetParam, CommandTexts::getVideoParam()},
        {CmdGetParam, CommandTexts::getSetting()},
        {CmdGetParam, CommandTexts::getHsvHueLut()},
        {CmdGetParam, CommandTexts::getHsvStaLut()},
        {CmdSetVideoParam, CommandTexts::setVideoParam(QStringLiteral("Luminance"), 70)},
        {CmdJson, CommandTexts::setSetting(QStringLiteral("language"), 1)},
        {CmdSetDefaultParam, CommandTexts::setDefaultParam(1)},
        {CmdJson, CommandTexts::ptzCtrl(QStringLiteral("up"))},
        {CmdJson, CommandTexts::presetCtrl(QStringLiteral("call"), 2)},
        {CmdJson, CommandTexts::getFaceIds()},
        {CmdJson, CommandTexts::getFaceNames()},
        {CmdJson, CommandTexts::getEnabledFaceIds()},
        {CmdJson, CommandTexts::setFaceIdName(1, QStringLiteral("张三"))},
        {CmdJson, CommandTexts::getFaceFocusTrain()},
        {CmdJson, CommandTexts::setEnabledFaceModeId(1)},
        {CmdJson, CommandTexts::deleteFocusId(2)},
        {CmdSetDeviceName, CommandTexts::deviceName(QStringLiteral("会议室"))},
        {CmdGetUpgradeStatus, {}},
        {CmdUpgradeRequest, CommandTexts::upgradeRequest(4096)},
    };
}

// The reports a camera with `fault` sends back for `request`.
QList<QByteArray> replies(const Request &request, SimulatedCamera::Fault fault, QByteArray *payloadOut = nullptr)
{
    SimulatedCamera camera(QStringLiteral("RV-K310A-WU"), QStringLiteral("Cam"), QStringLiteral("SN000123"), 1);
    camera.setFault(fault);
    camera.write(PacketCodec::buildRequest(request.cmdId, request.text.constData(), int(request.text.size())));
    QList<QByteArray> reports;
    qint64 readyIn = 0;
    for (QByteArray r; reports.size() < 80 && !(r = camera.takeReport(&readyIn)).isEmpty();) {
        reports << r;
        if (payloadOut)
            *payloadOut += PacketCodec::parseReply(r).payload;
    }
    return reports;
}

// Trailing zeros of a report cost the fuzzer nothing to find again.
QByteArray trimmed(QByteArray report)
{
    while (report.size() > PacketCodec::kReplyHeaderSize && report.endsWith('\0'))
        report.chop(1);
    return report;
}

void cameraSeeds()
{
    using F = SimulatedCamera::Fault;
    const QList<F> faults = {F::None, F::Garbage, F::MalformedJson, F::NegativeResult, F::Endless, F::OversizedLength};
    for (const Request &request : catalogue()) {
        for (F fault : faults) {
            QByteArray payload;
            const QList<QByteArray> reports = replies(request, fault, &payload);
            QByteArray sequence(1, char(fault == F::None ? 0x15 : 0x05));
            for (const QByteArray &r : reports.mid(0, 12))
                sequence += FuzzInput::encodeChunk(trimmed(r));
            seed("reply_collection", sequence);
            if (fault == F::None || fault == F::MalformedJson) {
                for (const QByteArray &r : reports.mid(0, 2))
                    seed("reply_router", char(0x01 | 0x10 | 0x20) + trimmed(r));
                if (request.text.contains("ReqGetVideoParam")) {
                    seed("param_reader", char(0) + payload);
                    seed("param_reader", char(4) + payload);
                }
                if (request.text.contains("ReqGetSetting"))
                    seed("param_reader", char(1) + payload);
            }
        }
        // The request itself, as the camera's side receives it.
        const int id = QList<quint32>{CmdJson, CmdGetParam, CmdSetVideoParam, CmdSetDeviceName, CmdReboot,
                                      CmdSetDefaultParam, CmdGetDeviceInfo, CmdUpgradeRequest, CmdUpgradeData,
                                      CmdGetUpgradeStatus}
                           .indexOf(request.cmdId);
        seed("sim_requests", QByteArray(1, '\0') + FuzzInput::encodeChunk(char(qMax(id, 0)) + request.text));
    }
    // A whole reading: video reply, then settings reply.
    QByteArray video, settings;
    replies(catalogue()[2], F::None, &video);
    replies(catalogue()[3], F::None, &settings);
    seed("param_reader", char(2) + FuzzInput::encodeChunk(video) + settings);
    seed("param_reader", char(6) + FuzzInput::encodeChunk(video) + R"({"Content":{"nResult":-1}})");
    // Timeouts, read errors and a short report in the middle of a reply.
    seed("reply_collection", QByteArray(1, '\0') + FuzzInput::encodeChunk({}) + FuzzInput::encodeChunk("\xFF"));
    seed("reply_collection", QByteArray(1, '\x03') + FuzzInput::encodeChunk("FDTH\0\0\0\0\x10\0\0\0") +
                                 FuzzInput::encodeChunk(trimmed(PacketCodec::buildReply(CmdJson, "{}", true))));
    // A firmware block in two request packets.
    const QByteArray block(1500, 'F');
    seed("sim_requests", QByteArray(1, '\x01') + FuzzInput::encodeChunk(char(0x40 | 8) + block.left(1000)) +
                             FuzzInput::encodeChunk(char(8) + block.mid(1000)));
}

void fileSeeds()
{
    CameraParams params;
    for (int s = 0; s < CameraParams::kSlotCount; ++s)
        params[s] = s % 7 == 0 ? -s : s * 3;
    const QByteArray config = CameraConfigFile::encode(params);
    seed("config_import", config);
    seed("config_import", config.left(100));
    seed("config_import", config + "trailing bytes");
    seed("config_import", QByteArray(4, '\0') + config.mid(4));

    seed("cube_file", "# identity\nLUT_3D_SIZE 2\n0 0 0\n1 0 0\n0 1 0\n1 1 0\n0 0 1\n1 0 1\n0 1 1\n1 1 1\n");
    QByteArray three = "TITLE \"warm\"\nDOMAIN_MIN 0 0 0\nDOMAIN_MAX 1 1 1\nLUT_3D_SIZE 3\n";
    for (int i = 0; i < 27; ++i)
        three += QByteArray::number((i % 3) * 0.5 + 0.01) + ' ' + QByteArray::number(((i / 3) % 3) * 0.5) + ' ' +
                 QByteArray::number((i / 9) * 0.45) + "\r\n";
    seed("cube_file", three);
    seed("cube_file", "LUT_3D_SIZE 257\n0 0 0\n");
    seed("cube_file", "lut_3d_size 2\n1e-3 .5 +1\n");

    PaletteState palette;
    palette.numAngles = 3;
    palette.numRadii = 2;
    palette.deltaSaturation = {{0.5f, -0.25f}, {0.0f, 0.125f}, {1.0f, 0.0f}};
    palette.deltaHue = {{10.0f, -179.5f}, {0.0f, 3.25f}, {180.0f, 0.0f}};
    palette.controlPoints = {{0, 1, 120.5, 88.0, 110.0, 90.0}, {2, 0, 1.0, 2.0, 3.0, 4.0}};
    palette.hisiOutput = {{0x01000CFBu, 0x00FF8800u, 4294967295u}, {}};
    seed("adjustment_file", AdjustmentFile::toJson(palette));
    seed("adjustment_file", AdjustmentFile::toJson(palette).left(200));
    seed("adjustment_file", R"({"numAngles": 24, "numRadii": 6, "deltaHue": [[1e300]], "hisiOutput": [[-1]]})");

    seed("ini_files", FuzzInput::encodeChunk("[DeviceNames]\nRV-K310A-WU-123=\\x4f1a\\x8bae\\x5ba4\nCam-001=Front\n") +
                          "[General]\nFirmwarePath=firmware\n");
    seed("ini_files", FuzzInput::encodeChunk("[DeviceNames]\nkey=\"quoted, with comma\"\n;comment\n[Other]\nx=1\n") +
                          "FirmwarePath=@Invalid()\n");

    // Arguments separated by '|', which becomes the zero byte the target splits on.
    for (QByteArray line : {"kestrane", "kestrane|--simulate", "kestrane|--simulate=RV-K310A-WU,RV-T782-KB-BEFA",
                            "kestrane|-simulate|--vendor-id|0x2E7E", "kestrane-cli|--vendor-id=11902|get|0",
                            "kestrane-cli|--simulate|set|0|Luminance|70", "kestrane|--help", "kestrane|-v"})
        seed("command_line", line.replace('|', '\0'));
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seed_corpus DIRECTORY\n");
        return 2;
    }
    g_root = QString::fromLocal8Bit(argv[1]);
    cameraSeeds();
    fileSeeds();
    return 0;
}

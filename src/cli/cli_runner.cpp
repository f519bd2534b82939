#include "cli_runner.h"

#include "build_config.h"
#include "camera_config_file.h"
#include "cli_api_cameras.h"
#include "cli_direct_cameras.h"
#include "cli_firmware_upgrade.h"
#include "cli_output.h"
#include "command_line_options.h"
#include "device_models.h"
#include "log_manager.h"
#include "packet_cmd.h"
#include "remote_command_words.h"
#include "simulated_camera_bus.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>
#include <memory>
#include <optional>
#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {
const char *const kSyntax =
    "list | get INDEX | set INDEX KEY VALUE | ptz INDEX CMD | preset INDEX call|set|delete N | "
    "export INDEX FILE | import INDEX FILE | upgrade INDEX FILE | raw INDEX JSON "
    "(with --serial SERIAL, INDEX is left out)";

// Standard error's stream while it is a terminal: the one stream a progress bar is
// drawn on.
const QTextStream *g_terminal = nullptr;

// Exit codes: 0 done; 1 the camera, a file or a check refused it; 2 the command line
// is wrong (an option, a missing or extra argument, an unknown command or index).
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct Failure {
    QString message;
    int code = kExitFailed;
};

int parseIndex(const QString &text)
{
    bool ok = false;
    const int index = text.toInt(&ok);
    if (!ok || index < 0)
        throw Failure{QStringLiteral("invalid camera index: %1").arg(text), kExitUsage};
    return index;
}

void check(const QString &error)
{
    if (!error.isEmpty())
        throw Failure{error};
}

// The packet id a raw JSON command travels with: its "wCmdId" when it names one,
// the parameter channel for the table and settings queries, plain JSON otherwise.
quint32 packetIdFor(const QJsonObject &command)
{
    if (command.contains("wCmdId"))
        return quint32(command.value("wCmdId").toDouble());
    const QString cmd = command.value("Cmd").toString();
    if (cmd == "ReqGetSetting" || cmd == "ReqGetHSVHueLut" || cmd == "ReqGetHSVStaLut")
        return CmdGetParam;
    return CmdJson;
}

void requireArgs(const QStringList &args, int count)
{
    if (args.size() != count)
        throw Failure{QStringLiteral("usage: kestrane-cli [--simulate[=MODEL,...]] %1").arg(kSyntax), kExitUsage};
}

// The tool's own connections, which the control API does not offer.
CliCameraLink &ownLink(CliCameras &cameras, const QString &command)
{
    if (CliCameraLink *link = cameras.link())
        return *link;
    throw Failure{QStringLiteral("the control panel is running with its control API: \"%1\" is not available through "
                                 "it (use the panel, or close it and try again)")
                      .arg(command)};
}

int execute(const QStringList &args, CliCameras &cameras, const CommandLineOptions &options, QTextStream &out,
            QTextStream &err)
{
    const QString command = args.value(0);
    if (command == "list") {
        requireArgs(args, 1);
        QList<CliOutput::Camera> listed;
        check(cameras.list(&listed));
        if (listed.isEmpty())
            throw Failure{QStringLiteral("no camera connected")};
        CliOutput::printList(listed, options.json, out);
        return 0;
    }
    if (command == "get") {
        requireArgs(args, 2);
        QJsonObject result;
        check(cameras.readParams(parseIndex(args[1]), &result));
        out << CliOutput::printable(result) << '\n';
        return 0;
    }
    if (command == "set") {
        requireArgs(args, 4);
        const int index = parseIndex(args[1]);
        const QString value = args[3];
        const QJsonDocument probe = QJsonDocument::fromJson("[" + value.toUtf8() + "]");
        if (!probe.isArray() || probe.array().size() != 1)
            throw Failure{QStringLiteral("VALUE must be a JSON value (a number, or a quoted text): %1").arg(value)};
        check(cameras.setParam(index, args[2], value));
        out << "ok\n";
        return 0;
    }
    if (command == "ptz") {
        requireArgs(args, 3);
        const int index = parseIndex(args[1]);
        // "raw:Left" sends the camera's own word.
        const bool raw = args[2].startsWith(QLatin1String("raw:"));
        const QString word = raw ? args[2].mid(4) : args[2];
        if (!RemoteCommandWords::ptzCommands().contains(word))
            throw Failure{QStringLiteral("PTZ command must be one of %1 (raw:WORD for the camera's own word): %2")
                              .arg(RemoteCommandWords::ptzCommands().join(", "), args[2])};
        check(cameras.ptz(index, word, raw));
        out << "ok\n";
        return 0;
    }
    if (command == "preset") {
        requireArgs(args, 4);
        const int index = parseIndex(args[1]);
        if (RemoteCommandWords::presetCommand(args[2]).isEmpty())
            throw Failure{QStringLiteral("preset action must be call, set or delete: %1").arg(args[2])};
        bool ok = false;
        const int preset = args[3].toInt(&ok);
        if (!ok || preset < 1 || preset > RemoteCommandWords::kMaxPresetId)
            throw Failure{
                QStringLiteral("preset number must be 1 to %1: %2").arg(RemoteCommandWords::kMaxPresetId).arg(args[3])};
        check(cameras.preset(index, args[2], preset));
        out << "ok\n";
        return 0;
    }
    if (command == "export") {
        requireArgs(args, 3);
        CameraParams record;
        check(cameras.readRecord(parseIndex(args[1]), &record));
        QSaveFile file(args[2]);
        file.setDirectWriteFallback(true); // a writable file in a folder that takes no new files
        const QByteArray image = CameraConfigFile::encode(record);
        if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size() || !file.flush() || !file.commit())
            throw Failure{QStringLiteral("cannot write %1: %2").arg(args[2], file.errorString())};
        out << "ok\n";
        return 0;
    }
    if (command == "import") {
        requireArgs(args, 3);
        const int index = parseIndex(args[1]);
        const CameraConfigFile::ReadResult file = CameraConfigFile::read(args[2]);
        switch (file.status) {
        case CameraConfigFile::Status::Ok:
            break;
        case CameraConfigFile::Status::CannotOpen:
            throw Failure{QStringLiteral("cannot open %1: %2").arg(args[2], file.errorString)};
        default:
            throw Failure{QStringLiteral("%1 is not a camera configuration file").arg(args[2])};
        }
        check(cameras.writeRecord(index, file.params));
        out << "ok\n";
        return 0;
    }
    if (command == "upgrade") {
        requireArgs(args, 3);
        const int index = parseIndex(args[1]);
        CliFirmwareUpgrade::Options upgrade;
        upgrade.terminal = &err == g_terminal;
        QString error;
        if (CliFirmwareUpgrade::run(ownLink(cameras, command), index, args[2], upgrade, out, err, &error) != 0)
            throw Failure{error};
        return 0;
    }
    if (command == "raw") {
        requireArgs(args, 3);
        const int index = parseIndex(args[1]);
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(args[2].toUtf8(), &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject())
            throw Failure{QStringLiteral("JSON must be an object: %1").arg(error.errorString())};
        const QByteArray text = args[2].toUtf8();
        if (text.size() > 1012)
            throw Failure{QStringLiteral("the command does not fit one request (%1 bytes)").arg(text.size())};
        QJsonObject reply;
        check(ownLink(cameras, command).exchange(index, packetIdFor(doc.object()), text, &reply));
        out << CliOutput::printable(reply) << '\n';
        return 0;
    }
    throw Failure{command.isEmpty() ? QStringLiteral("no command given; try --help")
                                    : QStringLiteral("unknown command: %1").arg(command),
                  kExitUsage};
}
} // namespace

int CliRunner::run(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (isatty(fileno(stderr)))
        g_terminal = &err;
    const int code = run(arguments, out, err);
    g_terminal = nullptr;
    return code;
}

int CliRunner::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    // The log still records every exchange in its file; the terminal gets results only.
    LogManager::setInitialConsoleOutput(false);
    LogManager::setInitialFileBaseName(QStringLiteral("Kestrane-cli"));
    const CommandLineOptions options = CommandLineOptions::parse(arguments, QString::fromLatin1(kSyntax));
    if (!options.error.isEmpty()) {
        err << "kestrane-cli: error: " << options.error << '\n';
        return kExitUsage;
    }
    if (options.helpRequested) {
        out << options.helpText;
        return 0;
    }
    if (options.versionRequested) {
        out << "kestrane-cli " KESTRANE_VERSION "\n";
        return 0;
    }
    LogManager::instance()->setConsoleOutput(false);
    setCameraVendorId(options.vendorId);
    if (options.simulate)
        SimulatedCameraBus::install(options.simulatedModels, options.vendorId);
    try {
        std::unique_ptr<CliCameras> cameras;
#ifdef KESTRANE_CONTROL_API
        // Simulated cameras are the tool's own; real ones may be held by the GUI.
        if (!options.simulate) {
            if (const std::optional<ControlApiClient> api = ControlApiClient::discover())
                cameras = std::make_unique<CliApiCameras>(*api);
        }
#endif
        if (!cameras)
            cameras = std::make_unique<CliDirectCameras>(options.vendorId);
        QStringList args = options.positional;
        if (!options.serial.isEmpty() && !args.isEmpty() && args.first() != QLatin1String("list")) {
            int index = -1;
            check(cameras->indexOfSerial(options.serial, &index));
            if (index < 0)
                throw Failure{QStringLiteral("no camera with serial %1").arg(options.serial)};
            args.insert(1, QString::number(index));
        }
        return execute(args, *cameras, options, out, err);
    } catch (const Failure &failure) {
        out.flush();
        err << "kestrane-cli: error: " << failure.message << '\n';
        return failure.code;
    }
}

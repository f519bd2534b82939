#include "cli_runner.h"

#include "build_config.h"
#include "camera_config_file.h"
#include "camera_record_io.h"
#include "cli_camera_link.h"
#include "cli_firmware_upgrade.h"
#include "command_line_options.h"
#include "command_texts.h"
#include "device_models.h"
#include "log_manager.h"
#include "packet_cmd.h"
#include "simulated_camera_bus.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>
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

// The words of "preset" and the camera's preset commands.
const QList<QPair<QString, QString>> kPresetActions = {
    {QStringLiteral("call"), QStringLiteral("Call")},
    {QStringLiteral("set"), QStringLiteral("Set")},
    {QStringLiteral("delete"), QStringLiteral("Del")},
};
constexpr int kMaxPreset = 255;

// Standard error's stream while it is a terminal: the one stream a progress bar is
// drawn on.
const QTextStream *g_terminal = nullptr;

struct Failure {
    QString message;
};

int parseIndex(const QString &text)
{
    bool ok = false;
    const int index = text.toInt(&ok);
    if (!ok || index < 0)
        throw Failure{QStringLiteral("invalid camera index: %1").arg(text)};
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

QString printable(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)).trimmed();
}

void requireArgs(const QStringList &args, int count)
{
    if (args.size() != count)
        throw Failure{QStringLiteral("usage: kestrane-cli [--simulate[=MODEL,...]] %1").arg(kSyntax)};
}

void requireCamera(const CliCameraLink &link, int index)
{
    if (index >= link.count())
        throw Failure{QStringLiteral("no camera with index %1 (%2 connected)").arg(index).arg(link.count())};
}

CameraRecordIo::Exchange recordExchange(CliCameraLink &link, int index)
{
    return [&link, index](quint32 cmdId, const QByteArray &text) { return link.exchangeText(index, cmdId, text); };
}

int execute(const QStringList &args, CliCameraLink &link, const CommandLineOptions &options, QTextStream &out,
            QTextStream &err)
{
    const QString command = args.value(0);
    if (command == "list") {
        requireArgs(args, 1);
        if (link.count() == 0)
            throw Failure{QStringLiteral("no camera connected")};
        if (options.json) {
            QJsonArray cameras;
            for (int i = 0; i < link.count(); ++i) {
                const auto &c = link.camera(i);
                QJsonObject o{{"index", i}, {"answered", c.answered}};
                if (c.answered) {
                    o["name"] = c.deviceName;
                    o["model"] = c.productModel;
                    o["serial"] = c.serial;
                    o["buildDate"] = c.buildDate;
                    o["series"] = seriesOfModel(c.productModel);
                }
                cameras.append(o);
            }
            out << QString::fromUtf8(QJsonDocument(cameras).toJson(QJsonDocument::Indented));
            return 0;
        }
        out << "index\tname\tmodel\tserial\tbuild date\tseries\n";
        for (int i = 0; i < link.count(); ++i) {
            const auto &c = link.camera(i);
            if (!c.answered) {
                out << i << "\t(no answer)\n";
                continue;
            }
            const QString series = seriesOfModel(c.productModel);
            out << i << '\t' << c.deviceName << '\t' << c.productModel << '\t' << c.serial << '\t' << c.buildDate
                << '\t' << (series.isEmpty() ? QStringLiteral("-") : series) << '\n';
        }
        return 0;
    }
    if (command == "get") {
        requireArgs(args, 2);
        const int index = parseIndex(args[1]);
        QJsonObject video, settings;
        check(link.exchange(index, CmdGetParam, CommandTexts::getVideoParam(), &video));
        check(link.exchange(index, CmdGetParam, CommandTexts::getSetting(), &settings));
        QJsonObject settingMembers = settings.value("Content").toObject();
        settingMembers.remove("nResult");
        QJsonObject result;
        result["VideoParam"] = video.value("Content").toObject().value("VideoParam").toObject();
        result["Setting"] = settingMembers;
        out << printable(result) << '\n';
        return 0;
    }
    if (command == "set") {
        requireArgs(args, 4);
        const int index = parseIndex(args[1]);
        const QString key = args[2];
        const QString value = args[3];
        const QJsonDocument probe = QJsonDocument::fromJson("[" + value.toUtf8() + "]");
        if (!probe.isArray() || probe.array().size() != 1)
            throw Failure{QStringLiteral("VALUE must be a JSON value (a number, or a quoted text): %1").arg(value)};
        QJsonObject video, settings;
        check(link.exchange(index, CmdGetParam, CommandTexts::getVideoParam(), &video));
        QByteArray text;
        quint32 packetId = CmdJson;
        if (video.value("Content").toObject().value("VideoParam").toObject().contains(key)) {
            text = CommandTexts::setVideoParam(key, value);
            packetId = CmdSetVideoParam;
        } else {
            check(link.exchange(index, CmdGetParam, CommandTexts::getSetting(), &settings));
            if (!settings.value("Content").toObject().contains(key) || key == "nResult")
                throw Failure{QStringLiteral("camera %1 has no parameter or setting named %2").arg(index).arg(key)};
            text = CommandTexts::setSetting(key, value);
        }
        if (text.isEmpty())
            throw Failure{QStringLiteral("the command does not fit one request")};
        QJsonObject reply;
        check(link.exchange(index, packetId, text, &reply));
        out << "ok\n";
        return 0;
    }
    if (command == "ptz") {
        requireArgs(args, 3);
        const int index = parseIndex(args[1]);
        QJsonObject reply;
        check(link.exchange(index, CmdJson, CommandTexts::ptzCtrl(args[2]), &reply));
        out << "ok\n";
        return 0;
    }
    if (command == "preset") {
        requireArgs(args, 4);
        const int index = parseIndex(args[1]);
        QString presetCmd;
        for (const auto &action : kPresetActions)
            if (action.first == args[2])
                presetCmd = action.second;
        if (presetCmd.isEmpty())
            throw Failure{QStringLiteral("preset action must be call, set or delete: %1").arg(args[2])};
        bool ok = false;
        const int preset = args[3].toInt(&ok);
        if (!ok || preset < 1 || preset > kMaxPreset)
            throw Failure{QStringLiteral("preset number must be 1 to %1: %2").arg(kMaxPreset).arg(args[3])};
        QJsonObject reply;
        check(link.exchange(index, CmdJson, CommandTexts::presetCtrl(presetCmd, preset), &reply));
        out << "ok\n";
        return 0;
    }
    if (command == "export") {
        requireArgs(args, 3);
        const int index = parseIndex(args[1]);
        requireCamera(link, index);
        CameraParams record;
        check(CameraRecordIo::read(recordExchange(link, index), record));
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
        requireCamera(link, index);
        check(CameraRecordIo::write(recordExchange(link, index), file.params));
        out << "ok\n";
        return 0;
    }
    if (command == "upgrade") {
        requireArgs(args, 3);
        const int index = parseIndex(args[1]);
        CliFirmwareUpgrade::Options upgrade;
        upgrade.terminal = &err == g_terminal;
        QString error;
        if (CliFirmwareUpgrade::run(link, index, args[2], upgrade, out, err, &error) != 0)
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
        check(link.exchange(index, packetIdFor(doc.object()), text, &reply));
        out << printable(reply) << '\n';
        return 0;
    }
    throw Failure{command.isEmpty() ? QStringLiteral("no command given; try --help")
                                    : QStringLiteral("unknown command: %1").arg(command)};
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
        return 2;
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
        CliCameraLink link(options.vendorId);
        QStringList args = options.positional;
        if (!options.serial.isEmpty() && !args.isEmpty() && args.first() != QLatin1String("list")) {
            const int index = link.indexOfSerial(options.serial);
            if (index < 0)
                throw Failure{QStringLiteral("no camera with serial %1").arg(options.serial)};
            args.insert(1, QString::number(index));
        }
        return execute(args, link, options, out, err);
    } catch (const Failure &failure) {
        out.flush();
        err << "kestrane-cli: error: " << failure.message << '\n';
        return 1;
    }
}

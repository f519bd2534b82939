#include "command_line_options.h"

#include "build_config.h"
#include "ui_language.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

const char *CommandLineOptions::defaultSimulatedModel()
{
    return "RV-K310A-WU";
}

namespace {
// The GUI's own options as the user may write them ("--name", "--name=value", the short
// "-h" and "-v", and the single-dash "-simulate"); `valueFollows` is set for an option
// whose value is the next argument.
bool isOwnOption(const QString &arg, bool *valueFollows)
{
    static const QStringList flags{"help", "version", "lut-button", "palette-page", "simulate", "tray", "visca"};
    static const QStringList withValue{"vendor-id", "lut", "api-port", "lang", "visca-bind", "osc-port"};
    *valueFollows = false;
    if (arg == QLatin1String("-h") || arg == QLatin1String("-v") || arg == QLatin1String("-simulate") ||
        arg.startsWith(QLatin1String("-simulate=")))
        return true;
    if (!arg.startsWith(QLatin1String("--")))
        return false;
    const QString name = arg.mid(2).section('=', 0, 0);
    if (withValue.contains(name)) {
        *valueFollows = !arg.contains('=');
        return true;
    }
    return flags.contains(name);
}
} // namespace

CommandLineOptions CommandLineOptions::parse(const QStringList &arguments, const QString &cliSyntax)
{
    CommandLineOptions options;
    // The GUI answers only its own options; everything else (Qt's -platform, -style, ...,
    // and any other argument) is left to the application object and logged with the rest.
    const bool gui = cliSyntax.isEmpty();
    QStringList args;
    // A negative number is a value, not an option ("set 0 Luminance -5"): it is kept
    // out of the parser's sight and put back among the positional arguments.
    static const QRegularExpression negativeNumber(QStringLiteral("^-[0-9]+(\\.[0-9]+)?$"));
    QStringList negatives;
    const QString negativeMark = QStringLiteral("\x01negative:");
    for (int i = 0; i < arguments.size(); ++i) {
        QString arg = arguments[i];
        bool valueFollows = false;
        if (i > 0 && !gui && negativeNumber.match(arg).hasMatch()) {
            args << negativeMark + QString::number(negatives.size());
            negatives << arg;
            continue;
        }
        if (i > 0 && gui && !isOwnOption(arg, &valueFollows)) {
            options.positional << arg;
            continue;
        }
        // "--simulate" may stand alone (one camera of the default model) or carry a list.
        if (arg == QLatin1String("--simulate") || arg == QLatin1String("-simulate"))
            arg = QStringLiteral("--simulate=%1").arg(QLatin1String(defaultSimulatedModel()));
        else if (arg.startsWith(QLatin1String("-simulate=")))
            arg.prepend('-');
        args << arg;
        if (valueFollows && i + 1 < arguments.size())
            args << arguments[++i];
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Kestrane camera tool " KESTRANE_VERSION));
    const QCommandLineOption help({"h", "help"}, "Show this help.");
    const QCommandLineOption version({"v", "version"}, "Show the version.");
    const QCommandLineOption simulate(
        "simulate",
        QStringLiteral("Use simulated cameras instead of USB devices: --simulate alone gives one of "
                       "model %1, --simulate=MODEL,MODEL,... one per model code.")
            .arg(QLatin1String(defaultSimulatedModel())),
        "MODEL[,MODEL...]");
    const QCommandLineOption vendor("vendor-id", "USB vendor id of the cameras (decimal or 0x hexadecimal).", "ID");
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(simulate);
    parser.addOption(vendor);
    // The preview's LUT belongs to the GUI only.
    const QCommandLineOption lutButton("lut-button",
                                       "Show the preview's LUT button: it loads a .cube file and, while one "
                                       "is on, offers to clear it.");
    const QCommandLineOption lut("lut",
                                 "Load this .cube file into the preview whenever it opens (also shows the "
                                 "LUT button, to clear it).",
                                 "FILE");
    const QCommandLineOption palettePage("palette-page",
                                         "Show the palette page (polar hue/saturation editor with upload) "
                                         "in the panel of RV-T782-KB cameras.");
    const QCommandLineOption apiPort("api-port",
                                     "Serve the local control API (HTTP, JSON) on this port of 127.0.0.1, "
                                     "or of the address set in control_api.ini.",
                                     "PORT");
    const QCommandLineOption language("lang",
                                      "Language of the user interface: zh (Simplified Chinese) or en "
                                      "(English). By default the system's: Chinese on a Chinese system, "
                                      "English on others.",
                                      "LANG");
    const QCommandLineOption tray("tray",
                                  "Start in the background: only the tray icon shows (where the desktop "
                                  "has a tray); this is how the tool starts at login.");
    const QCommandLineOption visca("visca",
                                   "Let PTZ controllers drive the cameras over VISCA: each camera on its "
                                   "own UDP (VISCA over IP) and TCP port, as visca.ini lists them.");
    const QCommandLineOption viscaBind("visca-bind",
                                       "Serve VISCA on this address instead of 127.0.0.1 (VISCA has no "
                                       "authentication: allow peers in visca.ini); implies --visca.",
                                       "ADDR");
    const QCommandLineOption oscPort("osc-port", "Take OSC messages on this UDP port.", "PORT");
    const QCommandLineOption serial("serial", "The camera with this serial, in place of INDEX.", "SERIAL");
    const QCommandLineOption json("json", "Print \"list\" as JSON.");
    if (cliSyntax.isEmpty()) {
        parser.addOption(lutButton);
        parser.addOption(lut);
        parser.addOption(palettePage);
        parser.addOption(apiPort);
        parser.addOption(language);
        parser.addOption(tray);
        parser.addOption(visca);
        parser.addOption(viscaBind);
        parser.addOption(oscPort);
    } else {
        parser.addOption(serial);
        parser.addOption(json);
        parser.addPositionalArgument("command", cliSyntax);
    }
    // The usage line names the program by its file name, whether or not an application
    // object exists yet.
    const QString program = QFileInfo(arguments.value(0)).fileName();
    options.helpText = parser.helpText();
    const int start = int(options.helpText.indexOf(QLatin1String("Usage: "))) + 7;
    const int end = int(options.helpText.indexOf(QLatin1String(" [options]")));
    if (start >= 7 && end > start)
        options.helpText.replace(start, end - start, program.isEmpty() ? QStringLiteral("kestrane") : program);

    if (!parser.parse(args)) {
        options.error = parser.errorText();
        return options;
    }
    options.helpRequested = parser.isSet(help);
    options.versionRequested = parser.isSet(version);
    if (parser.isSet(simulate)) {
        options.simulate = true;
        for (const QString &model : parser.value(simulate).split(',', Qt::SkipEmptyParts))
            options.simulatedModels << model.trimmed();
        if (options.simulatedModels.isEmpty())
            options.simulatedModels << QLatin1String(defaultSimulatedModel());
    }
    options.vendorId = KESTRANE_DEFAULT_VENDOR_ID;
    if (parser.isSet(vendor)) {
        bool ok = false;
        const uint id = parser.value(vendor).toUInt(&ok, 0);
        if (!ok || id == 0 || id > 0xFFFF) {
            options.error = QStringLiteral("invalid vendor id: %1").arg(parser.value(vendor));
            return options;
        }
        options.vendorId = quint16(id);
        options.vendorIdOverridden = true;
    }
    if (!cliSyntax.isEmpty()) {
        options.serial = parser.value(serial);
        options.json = parser.isSet(json);
        if (parser.isSet(serial) && options.serial.isEmpty()) {
            options.error = QStringLiteral("--serial needs a serial");
            return options;
        }
    }
    if (cliSyntax.isEmpty()) {
        options.palettePage = parser.isSet(palettePage);
        options.tray = parser.isSet(tray);
        options.visca = parser.isSet(visca) || parser.isSet(viscaBind);
        options.viscaBind = parser.value(viscaBind);
        if (parser.isSet(viscaBind) && options.viscaBind.isEmpty()) {
            options.error = QStringLiteral("--visca-bind needs an address");
            return options;
        }
        options.language = parser.value(language).toLower();
        UiLanguage::Language chosen = UiLanguage::Chinese;
        if (parser.isSet(language) && !UiLanguage::fromCode(options.language, &chosen)) {
            options.error = QStringLiteral("invalid language: %1 (zh or en)").arg(parser.value(language));
            return options;
        }
        options.lutButton = parser.isSet(lutButton) || parser.isSet(lut);
        if (parser.isSet(apiPort)) {
            bool ok = false;
            const uint port = parser.value(apiPort).toUInt(&ok);
            if (!ok || port == 0 || port > 65535) {
                options.error = QStringLiteral("invalid API port: %1").arg(parser.value(apiPort));
                return options;
            }
            options.apiPort = quint16(port);
        }
        if (parser.isSet(oscPort)) {
            bool ok = false;
            const uint port = parser.value(oscPort).toUInt(&ok);
            if (!ok || port == 0 || port > 65535) {
                options.error = QStringLiteral("invalid OSC port: %1").arg(parser.value(oscPort));
                return options;
            }
            options.oscPort = quint16(port);
        }
        if (parser.isSet(lut)) {
            if (parser.value(lut).isEmpty()) {
                options.error = QStringLiteral("--lut needs a file");
                return options;
            }
            options.lutFile = QFileInfo(parser.value(lut)).absoluteFilePath();
        }
    }
    if (!gui) {
        options.positional = parser.positionalArguments();
        for (QString &arg : options.positional)
            if (arg.startsWith(negativeMark))
                arg = negatives.value(arg.mid(negativeMark.size()).toInt());
    }
    return options;
}

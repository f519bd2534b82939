#pragma once

#include <QString>
#include <QStringList>

// What the user asked for on the command line. Shared by the GUI and kestrane-cli.
struct CommandLineOptions {
    bool simulate = false;
    QStringList simulatedModels;   // model codes of the simulated cameras, in bus order
    bool vendorIdOverridden = false;
    quint16 vendorId = 0;
    bool lutButton = false;        // the preview shows its "LUT" button
    QString lutFile;               // a cube each preview loads as it opens (absolute path)
    bool palettePage = false;      // the RV-T782-KB panel shows its "调色盘" page in its column
    QString language;              // "--lang": "zh" or "en"; empty for the system's language
    QString serial;                // the CLI's camera, by serial, in place of an index
    bool json = false;             // the CLI's "list" prints JSON
    quint16 apiPort = 0;           // the GUI serves the control API on this port (0: as set)
    bool tray = false;             // "--tray": start in the background, with the tray icon only
    bool visca = false;            // "--visca": serve VISCA over IP (ports in visca.ini)
    QString viscaBind;             // "--visca-bind": the address VISCA listens on (implies --visca)
    quint16 oscPort = 0;           // "--osc-port": serve OSC on this UDP port (0: as osc.ini says)
    // What remains: the CLI's sub-command and its arguments; for the GUI, every argument
    // that is not the tool's own, left to the application object.
    QStringList positional;
    QString error;                 // non-empty when the line could not be understood
    bool helpRequested = false;
    bool versionRequested = false;
    QString helpText;

    static const char *defaultSimulatedModel();

    // Parses the arguments (program name first). `cliSyntax` describes the positional
    // arguments for the help text; the GUI passes an empty string.
    static CommandLineOptions parse(const QStringList &arguments, const QString &cliSyntax = QString());
};

#pragma once

#include <QString>
#include <QStringList>

// The words the command-line tool and the control API take for the cameras' PTZ and
// preset commands.
class RemoteCommandWords {
public:
    // Camera presets are numbered 1 to this.
    static constexpr int kMaxPresetId = 255;

    // "call", "set" and "delete" give the preset commands "Call", "Set" and "Del";
    // any other word gives an empty text.
    static QString presetCommand(const QString &word);
    static QStringList presetWords();
    // The "PtzCmd" words the panel's PTZ buttons send: moves, zoom, focus, their stops
    // and the home position.
    static const QStringList &ptzCommands();
    // "Stop", "ZoomStop" and "FocusStop".
    static bool isStopCommand(const QString &word);
};

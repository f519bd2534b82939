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
    // The camera's "PtzCmd" word for a direction as the user sees it in the picture:
    // the cameras tilt the other way round than their words say on every model, and
    // the pan-reversed models pan the other way round too. Other words pass unchanged.
    // The panel's arrows, the control API and the command-line tool all go through here.
    static QString cameraPtzWord(const QString &word, const QString &productModel);
    // "Stop", "ZoomStop" and "FocusStop".
    static bool isStopCommand(const QString &word);
};

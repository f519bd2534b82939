#pragma once

#include <QString>

// Starting the tool at login, in the background (with "--tray"): an XDG autostart
// entry on Linux ("$XDG_CONFIG_HOME/autostart/<app id>.desktop"), the user's Run key
// on Windows. Elsewhere it is not offered.
class Autostart {
public:
    static constexpr const char *kTrayOption = "--tray";

    static bool supported();
    static bool enabled();
    // False, with the reason, when the entry could not be written or removed.
    static bool setEnabled(bool on, QString *error);
    // Where the Linux entry lives.
    static QString desktopEntryPath();
    // The entry's text for the program at `program`.
    static QByteArray desktopEntry(const QString &program);
};

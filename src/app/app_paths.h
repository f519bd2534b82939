#pragma once

#include <QString>

// Where the tool's files live. The executable's directory holds the logs and the INI
// files when it is the tool's own writable directory (Windows, a portable copy);
// an installed build (/usr/bin, <prefix>/bin beside <prefix>/share) writes them to the
// user's data directory instead. Tests point the application directory at a
// temporary directory.
class AppPaths {
public:
    // The directory of the executable (or the override).
    static QString applicationDir();
    // The directory the tool writes its files to (logs/, device names, firmware
    // directory memory); created when it is the user's data directory.
    static QString filesDir();
    // True when filesDir() is the application directory.
    static bool isPortable();
    // The per-user directory used when the application directory is not the tool's
    // own: the generic local data location + "/kestrane" (~/.local/share/kestrane,
    // %LOCALAPPDATA%/kestrane), the same for the GUI and the command-line tool.
    static QString userFilesDir();
    // Whether files may be written beside an executable living in dir: it is not part
    // of an installed prefix or system location, and a file can really be created in
    // it (which also holds for a read-only mount when running as root).
    static bool isOwnWritableDir(const QString &dir);
    static void setApplicationDirOverride(const QString &dir);

private:
    static QString &overrideDir();
};

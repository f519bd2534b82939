#pragma once

#include <QString>

// The directory beside the executable, where the logs and the INI files live.
// Tests point it at a temporary directory.
class AppPaths {
public:
    static QString applicationDir();
    static void setApplicationDirOverride(const QString &dir);

private:
    static QString &overrideDir();
};

#include "app_paths.h"

#include <QCoreApplication>

QString &AppPaths::overrideDir()
{
    static QString dir;
    return dir;
}

QString AppPaths::applicationDir()
{
    if (!overrideDir().isEmpty())
        return overrideDir();
    return QCoreApplication::applicationDirPath();
}

void AppPaths::setApplicationDirOverride(const QString &dir)
{
    overrideDir() = dir;
}

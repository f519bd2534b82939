#include "app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {
bool isUnder(const QString &dir, const QString &root)
{
    if (root.isEmpty())
        return false;
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    const QString r = QDir::cleanPath(QDir::fromNativeSeparators(root));
    return dir.compare(r, cs) == 0 || dir.startsWith(r.endsWith('/') ? r : r + '/', cs);
}

// Locations that belong to the system or to a package manager, never to one program.
bool isSystemLocation(const QString &dir)
{
#ifdef Q_OS_WIN
    for (const char *var : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "SystemRoot"}) {
        if (isUnder(dir, qEnvironmentVariable(var)))
            return true;
    }
    return false;
#else
    for (const char *root : {"/usr", "/bin", "/sbin", "/lib", "/snap", "/nix/store", "/app"}) {
        if (isUnder(dir, QString::fromLatin1(root)))
            return true;
    }
    return false;
#endif
}

// <prefix>/bin with <prefix>/share beside it: an installed layout (cmake --install,
// a package unpacked somewhere), where bin/ is shared with other programs.
bool isInstalledPrefixBin(const QString &dir)
{
    const QFileInfo info(dir);
    return info.fileName() == QLatin1String("bin") && QFileInfo(info.dir().filePath("share")).isDir();
}

bool canCreateFileIn(const QString &dir)
{
    QTemporaryFile probe(QDir(dir).filePath(".kestrane-write-test-XXXXXX"));
    return probe.open();
}
} // namespace

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

bool AppPaths::isOwnWritableDir(const QString &dir)
{
    if (dir.isEmpty())
        return false;
    const QString clean = QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
    return !isSystemLocation(clean) && !isInstalledPrefixBin(clean) && QFileInfo(clean).isDir() &&
           canCreateFileIn(clean);
}

QString AppPaths::userFilesDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/kestrane";
}

bool AppPaths::isPortable()
{
    // The probe creates a file, so its answer is kept per application directory.
    static QMutex mutex;
    static QString judgedDir;
    static bool portable = false;
    const QString dir = applicationDir();
    QMutexLocker locker(&mutex);
    if (judgedDir != dir || dir.isEmpty()) {
        portable = isOwnWritableDir(dir);
        judgedDir = dir;
    }
    return portable;
}

QString AppPaths::filesDir()
{
    if (isPortable())
        return applicationDir();
    const QString dir = userFilesDir();
    QDir().mkpath(dir);
    return dir;
}

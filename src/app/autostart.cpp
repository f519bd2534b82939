#include "autostart.h"

#include "build_config.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

namespace {
#ifdef Q_OS_WIN
const char *const kRunKey = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
#endif

QString program()
{
    return QCoreApplication::applicationFilePath();
}

// A desktop entry's Exec value quotes what holds spaces or quotes.
QString quoted(const QString &path)
{
    QString escaped = path;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return path.contains(QLatin1Char(' ')) || path.contains(QLatin1Char('"')) ? QLatin1Char('"') + escaped + QLatin1Char('"')
                                                                              : escaped;
}
} // namespace

bool Autostart::supported()
{
#if defined(Q_OS_WIN) || defined(Q_OS_LINUX)
    return true;
#else
    return false;
#endif
}

QString Autostart::desktopEntryPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/") + QStringLiteral(KESTRANE_APP_ID) + QStringLiteral(".desktop");
}

QByteArray Autostart::desktopEntry(const QString &path)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Kestrane\n"
                          "Comment=USB PTZ camera control, in the background\n"
                          "Exec=%1 %2\n"
                          "Icon=%3\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(quoted(path), QLatin1String(kTrayOption), QStringLiteral(KESTRANE_APP_ID))
        .toUtf8();
}

bool Autostart::enabled()
{
#ifdef Q_OS_WIN
    return QSettings(QLatin1String(kRunKey), QSettings::NativeFormat).contains(QStringLiteral("Kestrane"));
#else
    return supported() && QFileInfo::exists(desktopEntryPath());
#endif
}

bool Autostart::setEnabled(bool on, QString *error)
{
    if (!supported()) {
        *error = QStringLiteral("starting at login is not offered on this system");
        return false;
    }
#ifdef Q_OS_WIN
    QSettings run(QLatin1String(kRunKey), QSettings::NativeFormat);
    if (on)
        run.setValue(QStringLiteral("Kestrane"),
                     QLatin1Char('"') + QDir::toNativeSeparators(program()) + QStringLiteral("\" ") + QLatin1String(kTrayOption));
    else
        run.remove(QStringLiteral("Kestrane"));
    run.sync();
    if (run.status() != QSettings::NoError) {
        *error = QStringLiteral("the Run key could not be written");
        return false;
    }
    return true;
#else
    const QString path = desktopEntryPath();
    if (!on) {
        if (QFile::exists(path) && !QFile::remove(path)) {
            *error = QStringLiteral("cannot remove %1").arg(path);
            return false;
        }
        return true;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("cannot create %1").arg(QFileInfo(path).absolutePath());
        return false;
    }
    QSaveFile file(path);
    const QByteArray text = desktopEntry(program());
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
#endif
}

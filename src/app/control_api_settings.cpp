#include "control_api_settings.h"

#include "app_paths.h"

#include <QDebug>
#include <QSettings>

const char *const ControlApiSettings::kFileName = "control_api.ini";

QString ControlApiSettings::filePath()
{
    return AppPaths::filesDir() + QLatin1Char('/') + QLatin1String(kFileName);
}

ControlApiSettings ControlApiSettings::load()
{
    ControlApiSettings settings;
    const QSettings ini(filePath(), QSettings::IniFormat);
    settings.enabled = ini.value(QStringLiteral("ControlApi/Enabled"), false).toBool();
    const QString address = ini.value(QStringLiteral("ControlApi/Address")).toString().trimmed();
    if (!address.isEmpty())
        settings.address = address;
    if (ini.contains(QStringLiteral("ControlApi/Port"))) {
        bool ok = false;
        const uint port = ini.value(QStringLiteral("ControlApi/Port")).toUInt(&ok);
        if (ok && port >= 1 && port <= 65535)
            settings.port = quint16(port);
        else
            qWarning() << "control_api.ini: unusable Port, the default is used:" << ini.value("ControlApi/Port");
    }
    settings.token = ini.value(QStringLiteral("ControlApi/Token")).toString();
    return settings;
}

bool ControlApiSettings::isLoopback(const QString &address)
{
    const QString a = address.trimmed().toLower();
    return a == QLatin1String("127.0.0.1") || a == QLatin1String("::1") || a == QLatin1String("localhost");
}

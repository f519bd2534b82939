#include "control_api_settings.h"

#include "app_paths.h"

#include <QDebug>
#include <QFile>
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
    // QSettings would split a token at commas and cut it at a semicolon.
    QFile file(filePath());
    settings.token = ini.value(QStringLiteral("ControlApi/Token")).toString();
    if (file.open(QIODevice::ReadOnly))
        settings.token = tokenAsWritten(file.read(kMaxFileSize)).value_or(settings.token);
    return settings;
}

std::optional<QString> ControlApiSettings::tokenAsWritten(const QByteArray &ini)
{
    bool inGroup = false;
    std::optional<QString> token;
    const QByteArray text = ini.startsWith("\xEF\xBB\xBF") ? ini.mid(3) : ini; // a byte order mark
    for (QByteArray line : text.split('\n')) {
        line = line.trimmed();
        if (line.startsWith('[')) {
            inGroup = line == "[ControlApi]";
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inGroup || equals < 0 || line.left(equals).trimmed() != "Token")
            continue;
        QByteArray value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        token = QString::fromUtf8(value); // the last one counts, as for QSettings
    }
    return token;
}

bool ControlApiSettings::isLoopback(const QString &address)
{
    const QString a = address.trimmed().toLower();
    return a == QLatin1String("127.0.0.1") || a == QLatin1String("::1") || a == QLatin1String("localhost");
}

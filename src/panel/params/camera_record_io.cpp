#include "camera_record_io.h"

#include "camera_param_reader.h"
#include "colour_tables.h"
#include "command_texts.h"
#include "hsv_table.h"
#include "packet_cmd.h"
#include "param_value_check.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QVector>

namespace {
// The reply's "Content", or a reason why there is none.
QString content(const QByteArray &reply, const QString &what, QJsonObject *out)
{
    if (reply.isEmpty())
        return QStringLiteral("no answer to %1").arg(what);
    const QJsonDocument doc = QJsonDocument::fromJson(reply);
    if (!doc.isObject())
        return QStringLiteral("unreadable answer to %1").arg(what);
    *out = doc.object().value(QStringLiteral("Content")).toObject();
    const int result = out->value(QStringLiteral("nResult")).toInt(0);
    if (result < 0)
        return QStringLiteral("the camera refused %1 (nResult %2)").arg(what).arg(result);
    return QString();
}
} // namespace

QString CameraRecordIo::read(const Exchange &exchange, CameraParams &params)
{
    CameraParams read;
    const auto query = [&](const QByteArray &request) { return exchange(CmdGetParam, request); };
    if (!CameraParamReader::read(query, CameraParamReader::refreshProfile(), read, nullptr))
        return QStringLiteral("the camera's parameters could not be read");
    for (HsvKind kind : {HsvKind::Hue, HsvKind::Saturation}) {
        const HsvKindInfo &info = HsvKindInfo::of(kind);
        const QByteArray request = kind == HsvKind::Hue ? CommandTexts::getHsvHueLut() : CommandTexts::getHsvStaLut();
        QJsonObject c;
        const QString error = content(exchange(CmdGetParam, request), QLatin1String(info.member), &c);
        if (!error.isEmpty())
            return error;
        QList<int> values;
        for (const QJsonValue &v : c.value(QLatin1String(info.member)).toArray())
            values << v.toInt(0);
        const std::optional<HsvTable> table = HsvTable::fromList(values);
        if (!table)
            return QStringLiteral("the camera's %1 table does not hold %2 points").arg(QLatin1String(info.member)).arg(HsvTable::kPoints);
        ColourTables::setRecordTable(read, kind, *table);
    }
    params = read;
    return QString();
}

QString CameraRecordIo::write(const Exchange &exchange, const CameraParams &params)
{
    const auto send = [&](quint32 cmdId, const QByteArray &text, const QString &what) {
        if (text.isEmpty())
            return QStringLiteral("%1 does not fit one request").arg(what);
        QJsonObject c;
        return content(exchange(cmdId, text), what, &c);
    };
    QSet<QString> sent;
    for (const CameraParamReader::KeySlot &k : CameraParamReader::videoKeys()) {
        const QString key = QLatin1String(k.key);
        if (sent.contains(key))
            continue; // a key read into two slots is sent once, from the first
        sent.insert(key);
        const QString error = send(CmdSetVideoParam, CommandTexts::setVideoParam(key, params[k.slot]), key);
        if (!error.isEmpty())
            return error;
    }
    for (const CameraParamReader::KeySlot &k : CameraParamReader::settingKeys()) {
        const QString key = QLatin1String(k.key);
        const QString error = send(CmdJson, CommandTexts::setSetting(key, params[k.slot]), key);
        if (!error.isEmpty())
            return error;
    }
    for (HsvKind kind : {HsvKind::Hue, HsvKind::Saturation}) {
        const QList<int> table = ColourTables::recordTable(params, kind).toList();
        const QVector<int> values(table.begin(), table.end());
        const QByteArray text = kind == HsvKind::Hue ? CommandTexts::setHsvHueLut(values) : CommandTexts::setHsvStaLut(values);
        const QString error = send(CmdJson, text, QLatin1String(HsvKindInfo::of(kind).member));
        if (!error.isEmpty())
            return error;
    }
    return QString();
}

QString CameraRecordIo::readReported(const Exchange &exchange, QJsonObject *reported)
{
    QJsonObject video;
    QString error = content(exchange(CmdGetParam, CommandTexts::getVideoParam()), QStringLiteral("ReqGetVideoParam"), &video);
    QJsonObject settings;
    if (error.isEmpty())
        error = content(exchange(CmdGetParam, CommandTexts::getSetting()), QStringLiteral("ReqGetSetting"), &settings);
    if (!error.isEmpty())
        return error;
    settings.remove(QStringLiteral("nResult"));
    *reported = QJsonObject{{QStringLiteral("VideoParam"), video.value(QStringLiteral("VideoParam")).toObject()},
                            {QStringLiteral("Setting"), settings}};
    return QString();
}

QString CameraRecordIo::checkValues(const CameraParams &params, const Allowed &allowed, const QJsonObject &reported)
{
    const auto check = [&](const CameraParamReader::KeySlot &k, const QString &group) {
        const QString key = QLatin1String(k.key);
        const std::optional<QSet<int>> values = allowed(key);
        const qint32 value = params[k.slot];
        if (!values || values->contains(value))
            return QString();
        const QJsonValue now = reported.value(group).toObject().value(key);
        if (now.isDouble() && now.toDouble() == double(value))
            return QString();
        return ParamValueCheck::outOfRange(key, *values, value);
    };
    QSet<QString> seen; // as write: a key read into two slots is sent from the first
    for (const CameraParamReader::KeySlot &k : CameraParamReader::videoKeys()) {
        if (seen.contains(QLatin1String(k.key)))
            continue;
        seen.insert(QLatin1String(k.key));
        if (const QString error = check(k, QStringLiteral("VideoParam")); !error.isEmpty())
            return error;
    }
    for (const CameraParamReader::KeySlot &k : CameraParamReader::settingKeys())
        if (const QString error = check(k, QStringLiteral("Setting")); !error.isEmpty())
            return error;
    return QString();
}

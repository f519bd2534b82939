#include "simulated_command_set.h"

#include "packet_cmd.h"
#include "simulated_camera.h"
#include "simulated_clock.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <cmath>

SimulatedCommandSet::SimulatedCommandSet(SimulatedCamera &camera) : m_camera(camera) {
    SimulatedCameraState &s = camera.m_state;
    m_entries = {
        {"ReqGetDeviceDirection", CmdJson, 0,
         [this](const QJsonObject &) {
             QJsonObject c = result(0);
             c.insert(QStringLiteral("nDirection"), m_camera.m_direction);
             return c;
         }},
        {"ReqGetVideoParam", CmdGetParam, 0, [&s](const QJsonObject &) { return s.getVideoParam(); }},
        {"ReqGetSetting", CmdGetParam, 0, [&s](const QJsonObject &) { return s.getSetting(); }},
        {"ReqGetHSVHueLut", CmdGetParam, 0, [&s](const QJsonObject &) { return s.getHueTable(); }},
        {"ReqGetHSVStaLut", CmdGetParam, 0, [&s](const QJsonObject &) { return s.getSatTable(); }},
        {"ReqSetVideoParam", CmdSetVideoParam, 0, [&s](const QJsonObject &c) { return s.setVideoParam(c); }},
        {"ReqSetSetting", CmdJson, 0, [&s](const QJsonObject &c) { return s.setSetting(c); }},
        {"ReqSetDefaultParam", CmdSetDefaultParam, 0,
         [this](const QJsonObject &c) { return defaultParam(c); }},
        {"ReqSetHSVHueLut", CmdJson, 0, [&s](const QJsonObject &c) { return s.setHueTable(c); }},
        {"ReqSetHSVStaLut", CmdJson, 0, [&s](const QJsonObject &c) { return s.setSatTable(c); }},
        {"ReqPtzCtrl", CmdJson, 0, [this](const QJsonObject &c) { return ptzCtrl(c); }},
        {"ReqPresetCtrl", CmdJson, 0, [this](const QJsonObject &c) { return presetCtrl(c); }},
        {"ReqGetFaceIDs", CmdJson, 0, [this](const QJsonObject &) { return faceIds(); }},
        {"ReqGetFaceNames", CmdJson, 0, [this](const QJsonObject &) { return faceNames(); }},
        {"ReqGetEnabledFaceIds", CmdJson, 0, [this](const QJsonObject &) { return enabledFaceIds(); }},
        {"ReqSetFaceIdName", CmdJson, 0, [this](const QJsonObject &c) { return setFaceIdName(c); }},
        {"ReqSetFaceFocusTrain", CmdJson, 0, [this](const QJsonObject &c) { return faceFocusTrain(c); }},
        {"ReqGetFaceFocusTrain", CmdJson, 0, [this](const QJsonObject &) { return faceFocusTrainStatus(); }},
        {"ReqSetEnabledFaceModeId", CmdJson, 0,
         [this](const QJsonObject &c) { return setFaceModeId(c, false); }},
        {"ReqSetEnabledPortraitModeId", CmdJson, 0,
         [this](const QJsonObject &c) { return setFaceModeId(c, true); }},
        {"ReqDeleteFocusID", CmdJson, 0, [this](const QJsonObject &c) { return deleteFocusId(c); }},
        {"ReqSetManualRebootSet", CmdJson, CmdReboot,
         [this](const QJsonObject &) { return rebootCommand(); }},
        {"ReqSetPaletteData", CmdSetVideoParam, 0,
         [&s](const QJsonObject &c) { return s.setPaletteData(c); }},
    };
}

QJsonObject SimulatedCommandSet::result(int nResult) {
    QJsonObject o;
    o.insert(QStringLiteral("nResult"), nResult);
    return o;
}

QByteArray SimulatedCommandSet::toBytes(const QJsonObject &object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray SimulatedCommandSet::resultReply(const QString &cmd, int nResult) {
    QJsonObject o;
    if (!cmd.isEmpty())
        o.insert(QStringLiteral("Cmd"), cmd);
    o.insert(QStringLiteral("Content"), result(nResult));
    return toBytes(o);
}

bool SimulatedCommandSet::readInt(const QJsonObject &o, const char *key, int *out) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (!std::isfinite(d) || std::floor(d) != d || d < -2147483648.0 || d > 2147483647.0)
        return false;
    *out = int(d);
    return true;
}

QByteArray SimulatedCommandSet::stripTerminators(const QByteArray &payload) {
    int n = int(payload.size());
    while (n > 0 && payload[n - 1] == '\0')
        --n;
    return payload.left(n);
}

QString SimulatedCommandSet::commandName(const QByteArray &payload) {
    const QJsonDocument doc = QJsonDocument::fromJson(stripTerminators(payload));
    return doc.isObject() ? doc.object().value(QStringLiteral("Cmd")).toString() : QString();
}

QByteArray SimulatedCommandSet::execute(quint32 cmdId, const QByteArray &payload) {
    switch (cmdId) {
    case CmdGetDeviceInfo:
        return deviceInfo();
    case CmdSetDeviceName:
        return setDeviceName(payload);
    case CmdReboot:
        if (commandName(payload).isEmpty())
            return toBytes(QJsonObject{{QStringLiteral("Content"), rebootCommand()}});
        return executeJson(cmdId, payload);
    case CmdUpgradeRequest:
        return upgradeRequest(payload);
    case CmdUpgradeData:
        return upgradeData(payload);
    case CmdGetUpgradeStatus:
        return upgradeStatus();
    case CmdGetParam:
    case CmdSetVideoParam:
    case CmdSetDefaultParam:
    case CmdJson:
        return executeJson(cmdId, payload);
    default:
        qWarning("simulated camera: unknown packet command %u", cmdId);
        return resultReply(QString(), kFailed);
    }
}

QByteArray SimulatedCommandSet::executeJson(quint32 cmdId, const QByteArray &payload) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(stripTerminators(payload), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return resultReply(QString(), kBadJson);
    const QJsonObject request = doc.object();
    const QString cmd = request.value(QStringLiteral("Cmd")).toString();
    for (const Entry &e : qAsConst(m_entries)) {
        if (cmd != QLatin1String(e.name))
            continue;
        if (cmdId != e.packetId && cmdId != e.alternativeId) {
            // The firmware routes by packet command first: a command under the wrong
            // one never reaches its handler.
            qWarning("simulated camera: %s arrived with packet command %u", e.name, cmdId);
            return resultReply(cmd, kFailed);
        }
        const QJsonValue content = request.value(QStringLiteral("Content"));
        QJsonObject reply;
        reply.insert(QStringLiteral("Cmd"), cmd);
        reply.insert(QStringLiteral("Content"), e.handler(content.toObject()));
        return toBytes(reply);
    }
    return resultReply(cmd, kFailed);
}

QByteArray SimulatedCommandSet::deviceInfo() const {
    QJsonObject o;
    o.insert(QStringLiteral("DeviceName"), m_camera.m_deviceName);
    o.insert(QStringLiteral("ProductModel"), m_camera.m_model);
    o.insert(QStringLiteral("Serial"), m_camera.m_serial);
    o.insert(QStringLiteral("BuildDate"), m_camera.m_buildDate);
    o.insert(QStringLiteral("Content"), result(0));
    return toBytes(o);
}

QByteArray SimulatedCommandSet::setDeviceName(const QByteArray &payload) {
    const QJsonDocument doc = QJsonDocument::fromJson(stripTerminators(payload));
    if (!doc.isObject())
        return resultReply(QString(), kBadJson);
    const QJsonValue v = doc.object().value(QStringLiteral("DeviceName"));
    const QString name = v.toString().trimmed();
    if (!v.isString() || name.isEmpty() || name.toUtf8().size() > kMaxDeviceNameBytes)
        return resultReply(QString(), kFailed);
    m_camera.m_deviceName = name;
    // The camera restarts to take its new name.
    m_camera.scheduleReboot(200, true);
    return resultReply(QString(), 0);
}

QJsonObject SimulatedCommandSet::rebootCommand() {
    m_camera.scheduleReboot(200, true);
    return result(0);
}

QByteArray SimulatedCommandSet::upgradeRequest(const QByteArray &payload) {
    const QJsonDocument doc = QJsonDocument::fromJson(stripTerminators(payload));
    if (!doc.isObject())
        return resultReply(QString(), kBadJson);
    int type = 0;
    int size = 0;
    int nResult = kFailed;
    if (readInt(doc.object(), "FileType", &type) && readInt(doc.object(), "FileSize", &size))
        nResult = m_camera.m_upgrade.request(type, size, SimulatedClock::nowMs());
    return resultReply(QString(), nResult);
}

QByteArray SimulatedCommandSet::upgradeData(const QByteArray &payload) {
    const qint64 now = SimulatedClock::nowMs();
    const bool ok = m_camera.m_upgrade.receive(payload, now);
    QJsonObject o = m_camera.m_upgrade.report(now);
    o.insert(QStringLiteral("Content"), result(ok ? 0 : kFailed));
    return toBytes(o);
}

QByteArray SimulatedCommandSet::upgradeStatus() const {
    QJsonObject o = m_camera.m_upgrade.report(SimulatedClock::nowMs());
    o.insert(QStringLiteral("Content"), result(0));
    return toBytes(o);
}

QJsonObject SimulatedCommandSet::defaultParam(const QJsonObject &content) {
    int config = 0;
    if (!readInt(content, "eDefaultParamCfg", &config))
        return result(kFailed);
    const int nResult = m_camera.m_state.resetDefaults(config);
    if (nResult == 0 && config == 255) {
        m_camera.m_ptz.clearPresets();
        m_camera.m_faces.select(0);
        m_camera.m_faces.setFaceModeId(0);
        m_camera.m_faces.setPortraitModeId(0);
        // Factory defaults take effect with a restart shortly after the answer.
        m_camera.scheduleReboot(SimulatedCamera::kFactoryResetRebootAfterMs, false);
    }
    return result(nResult);
}

QJsonObject SimulatedCommandSet::ptzCtrl(const QJsonObject &content) {
    const QJsonValue v = content.value(QStringLiteral("PtzCmd"));
    if (!v.isString())
        return result(kFailed);
    return result(m_camera.m_ptz.command(v.toString(), SimulatedClock::nowMs()) ? 0 : kFailed);
}

QJsonObject SimulatedCommandSet::presetCtrl(const QJsonObject &content) {
    const QJsonValue cmd = content.value(QStringLiteral("PresetCmd"));
    int id = 0;
    if (!cmd.isString() || !readInt(content, "PresetID", &id))
        return result(kFailed);
    return result(m_camera.m_ptz.preset(cmd.toString(), id, SimulatedClock::nowMs()) ? 0 : kFailed);
}

QJsonObject SimulatedCommandSet::faceIds() const {
    QJsonArray a;
    for (int id : m_camera.m_faces.ids())
        a.append(id);
    QJsonObject c = result(0);
    c.insert(QStringLiteral("FaceIDs"), a);
    return c;
}

QJsonObject SimulatedCommandSet::faceNames() const {
    QJsonObject c = result(0);
    c.insert(QStringLiteral("FaceNames"), QJsonArray::fromStringList(m_camera.m_faces.names()));
    return c;
}

QJsonObject SimulatedCommandSet::enabledFaceIds() const {
    QJsonObject c = result(0);
    c.insert(QStringLiteral("EnabledFaceId"), m_camera.m_faces.enabledFaceId());
    c.insert(QStringLiteral("FaceModeId"), m_camera.m_faces.faceModeId());
    c.insert(QStringLiteral("PortraitModeId"), m_camera.m_faces.portraitModeId());
    return c;
}

QJsonObject SimulatedCommandSet::setFaceIdName(const QJsonObject &content) {
    int id = 0;
    const QJsonValue name = content.value(QStringLiteral("Name"));
    if (!readInt(content, "ID", &id) || !name.isString())
        return result(kFailed);
    return result(m_camera.m_faces.rename(id, name.toString()) ? 0 : kFailed);
}

QJsonObject SimulatedCommandSet::faceFocusTrain(const QJsonObject &content) {
    int id = 0;
    const QJsonValue type = content.value(QStringLiteral("Type"));
    if (!type.isString() || !readInt(content, "ID", &id))
        return result(kFailed);
    return result(m_camera.m_faces.train(type.toString(), id, SimulatedClock::nowMs()) ? 0 : kFailed);
}

QJsonObject SimulatedCommandSet::faceFocusTrainStatus() {
    QJsonObject c = result(0);
    c.insert(QStringLiteral("Statue"), m_camera.m_faces.trainingStatus(SimulatedClock::nowMs()));
    return c;
}

QJsonObject SimulatedCommandSet::setFaceModeId(const QJsonObject &content, bool portrait) {
    int id = 0;
    if (!readInt(content, portrait ? "PortraitModeId" : "FaceModeId", &id))
        return result(kFailed);
    const bool ok = portrait ? m_camera.m_faces.setPortraitModeId(id) : m_camera.m_faces.setFaceModeId(id);
    return result(ok ? 0 : kFailed);
}

QJsonObject SimulatedCommandSet::deleteFocusId(const QJsonObject &content) {
    int id = 0;
    if (!readInt(content, "ID", &id))
        return result(kFailed);
    return result(m_camera.m_faces.remove(id) ? 0 : kFailed);
}

#pragma once

#include "command_texts.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <functional>

class SimulatedCamera;

// The camera's command interpreter: one handler per packet command and per JSON
// "Cmd" of the catalogue. Takes a reassembled request payload and returns the reply
// payload; it never fails to answer (bad input gets a negative "nResult").
class SimulatedCommandSet {
public:
    static constexpr int kBadJson = -2;
    static constexpr int kFailed = -1;
    static constexpr int kMaxDeviceNameBytes = CommandTexts::kMaxDeviceNameBytes;

    explicit SimulatedCommandSet(SimulatedCamera &camera);

    QByteArray execute(quint32 cmdId, const QByteArray &payload);
    // The "Cmd" member of a JSON payload, empty when there is none.
    static QString commandName(const QByteArray &payload);
    // A reply carrying only a result.
    static QByteArray resultReply(const QString &cmd, int nResult);

private:
    using Handler = std::function<QJsonObject(const QJsonObject &content)>;
    struct Entry {
        const char *name;
        quint32 packetId;
        quint32 alternativeId; // 0 when only one packet command carries it
        Handler handler;
    };

    QByteArray executeJson(quint32 cmdId, const QByteArray &payload);
    QByteArray deviceInfo() const;
    QByteArray setDeviceName(const QByteArray &payload);
    QByteArray upgradeRequest(const QByteArray &payload);
    QByteArray upgradeData(const QByteArray &payload);
    QByteArray upgradeStatus() const;
    QJsonObject rebootCommand();
    QJsonObject defaultParam(const QJsonObject &content);
    QJsonObject ptzCtrl(const QJsonObject &content);
    QJsonObject presetCtrl(const QJsonObject &content);
    QJsonObject faceIds() const;
    QJsonObject faceNames() const;
    QJsonObject enabledFaceIds() const;
    QJsonObject setFaceIdName(const QJsonObject &content);
    QJsonObject faceFocusTrain(const QJsonObject &content);
    QJsonObject faceFocusTrainStatus();
    QJsonObject setFaceModeId(const QJsonObject &content, bool portrait);
    QJsonObject deleteFocusId(const QJsonObject &content);

    static QByteArray toBytes(const QJsonObject &object);
    static QJsonObject result(int nResult);
    static bool readInt(const QJsonObject &o, const char *key, int *out);
    static QByteArray stripTerminators(const QByteArray &payload);

    SimulatedCamera &m_camera;
    QList<Entry> m_entries;
};

#include "reply_router.h"

#include "log_manager.h"
#include "packet_codec.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

ReplyRouter::ReplyRouter(State *state, QObject *parent) : QObject(parent), m_state(state)
{
}

void ReplyRouter::route(const QByteArray &packet, int index)
{
    LogManager *log = LogManager::instance();
    if (!m_state->quietProbe)
        log->log(DEBUG, "Data", QStringLiteral("onDataReceived index:%1").arg(index));
    if (!PacketCodec::hasMagic(packet))
        return;
    // The payload runs from offset 16 to the end of the report, trailing zeros removed;
    // the packet's own length field is not trusted here.
    QByteArray payload = packet.mid(PacketCodec::kReplyHeaderSize);
    int end = int(payload.size());
    while (end > 0 && payload.at(end - 1) == '\0')
        --end;
    payload.truncate(end);
    if (!(m_state->quietProbe && payload.contains("\"nDirection\"")))
        log->log(DEBUG, "Data", QStringLiteral("[RECEIVED] Raw JSON data: %1").arg(QString::fromUtf8(payload)));
    // A reply longer than one report comes in pieces, which its reader puts together:
    // a piece alone is no JSON text, and no error.
    const bool continued = m_pieceFollows.contains(index);
    const bool last = PacketCodec::parseReply(packet).last;
    if (last)
        m_pieceFollows.remove(index);
    else
        m_pieceFollows.insert(index);
    if (payload.isEmpty() || !last)
        return;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError) {
        // The end of a reply in pieces is no JSON text alone; a whole text after
        // pieces whose end never came (a camera that stopped mid-reply) is a reply.
        if (!continued)
            qDebug() << "JSON解析错误:" << error.errorString();
        return;
    }
    if (!doc.isObject())
        return;
    const QJsonObject object = doc.object();
    if (object.contains("Content") && object.value("Content").isObject())
        routeContent(object.value("Content").toObject(), index);

    auto member = [&object](const char *name, const char *logFormat) {
        if (!object.contains(name))
            return QString();
        const QString value = object.value(name).toString();
        qDebug(logFormat, qPrintable(value));
        return value;
    };
    const bool hasName = object.contains("DeviceName");
    const QString deviceName = member("DeviceName", "DeviceName:%s");
    const QString productModel = member("ProductModel", "ProductModel:%s");
    const QString serial = member("Serial", "Serial:%s");
    const QString buildDate = member("BuildDate", "BuildDate:%s");
    if (hasName && m_state->deviceInfoQuery)
        emit deviceIdentified(index, deviceName, serial, buildDate, productModel);
}

void ReplyRouter::routeContent(const QJsonObject &content, int index)
{
    const int currentIndex = m_state->currentIndex ? *m_state->currentIndex : -1;
    const bool current = index == currentIndex;
    if (content.contains("Statue")) {
        const QString status = content.value("Statue").toString();
        qDebug() << "Face collection status received:" << status;
        emit collectionStatusReceived(status, index);
    }
    if (content.contains("FaceIDs")) {
        QList<int> ids;
        for (const QJsonValue &v : content.value("FaceIDs").toArray())
            ids << v.toInt();
        qDebug() << "FaceIDs received:" << ids << "from device:" << index;
        if (current)
            emit faceIdsReceived(ids);
        else
            qDebug() << "Skip FaceIDs from device" << index;
    }
    if (content.contains("FaceNames")) {
        QStringList names;
        for (const QJsonValue &v : content.value("FaceNames").toArray())
            names << v.toString();
        qDebug() << "FaceNames received:" << names << "from device:" << index;
        if (current)
            emit faceNamesReceived(names);
        else
            qDebug() << "Skip FaceNames from device" << index;
    }
    if (content.contains("EnabledFaceId")) {
        const int id = content.value("EnabledFaceId").toInt();
        qDebug() << "EnabledFaceId received:" << id << "from device:" << index;
        if (current)
            emit enabledFaceIdReceived(id);
        else
            qDebug() << "Skip EnabledFaceId from device" << index;
    }
    const bool hasFace = content.contains("FaceModeId");
    const bool hasPortrait = content.contains("PortraitModeId");
    if (hasFace || hasPortrait) {
        const int face = content.value("FaceModeId").toInt();
        const int portrait = content.value("PortraitModeId").toInt();
        if (hasFace)
            qDebug() << "FaceModeId received:" << face;
        if (hasPortrait)
            qDebug() << "PortraitModeId received:" << portrait;
        if (current) {
            emit faceModeIdsReceived(face, portrait, hasFace, hasPortrait);
        } else {
            const char *what = hasFace && hasPortrait ? "Skip FaceModeId/PortraitModeId from device"
                               : hasFace              ? "Skip FaceModeId from device"
                                                      : "Skip PortraitModeId from device";
            qDebug() << what << index << "(current device:" << currentIndex << ")";
        }
    }
    if (content.contains("nDirection")) {
        m_state->quietProbe = false;
        emit directionReceived(content.value("nDirection").toInt());
    }
}

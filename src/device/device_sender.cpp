#include "device_sender.h"

#include "hid_manager.h"
#include "log_manager.h"
#include "packet_codec.h"

#include <QDebug>

#include <cstring>

namespace {
const DeviceSender *g_busHolder = nullptr;
} // namespace

DeviceSender::DeviceSender(ManagerLookup lookup, RequestLog requestLog, const bool *quietProbe)
    : m_lookup(std::move(lookup)), m_requestLog(requestLog), m_quietProbe(quietProbe)
{
}

void DeviceSender::logRequest(int index, int cmdId, const void *payload, int length)
{
    const QString text =
        payload && length > 0 ? QString::fromUtf8(static_cast<const char *>(payload), length) : QString();
    switch (m_requestLog) {
    case RequestLog::QtDebug:
        if (!text.contains(QLatin1String("ReqGetDeviceDirection")))
            qDebug().noquote() << "[SEND] device:" << index << "cmd:" << cmdId << ", size:" << length
                               << ", data:" << text;
        break;
    case RequestLog::CommandRecord:
        LogManager::instance()->log(
            INFO, "Command",
            QStringLiteral("device:%1, cmd:%2, size:%3, data:%4")
                .arg(QString::number(index), QString::number(cmdId), QString::number(length), text));
        break;
    case RequestLog::IndexNoteOnly:
    case RequestLog::None:
        break;
    }
}

bool DeviceSender::sendCmdToDevice(int index, int cmdId, const void *payload, int length, char *reply,
                                   int replyCapacity)
{
    if (index == -1) {
        if (m_requestLog == RequestLog::CommandRecord || m_requestLog == RequestLog::IndexNoteOnly)
            LogManager::instance()->log(DEBUG, "Command",
                                        QStringLiteral("sendCmdToDevice: index is -1, returning false"));
        return false;
    }
    if ((payload && length <= 0) || (!payload && length != 0))
        return refuseEmptyText(index, cmdId);
    if (refusedWhileBusHeld(index, cmdId) || refusedAsUnanswered(index))
        return false;
    logRequest(index, cmdId, payload, length);
    const QByteArray packet =
        PacketCodec::buildRequest(quint32(cmdId), static_cast<const char *>(payload), length, true);
    if (packet.isEmpty()) {
        LogManager::instance()->log(WARNING, "Error",
                                    QStringLiteral("请求长度%1字节超出单个数据包上限%2字节，未发送")
                                        .arg(length)
                                        .arg(PacketCodec::kMaxSinglePayload));
        return false;
    }
    if (!sendToDevice(index, packet))
        return false;
    return collectReply(index, reply, replyCapacity);
}

bool DeviceSender::sendDataToDevice(int index, int cmdId, const char *data, int length, char *reply,
                                    int replyCapacity)
{
    if (index == -1 || refusedWhileBusHeld(index, cmdId) || refusedAsUnanswered(index))
        return false;
    for (int offset = 0; offset < length; offset += PacketCodec::kChunkPayload) {
        const int n = qMin(int(PacketCodec::kChunkPayload), length - offset);
        const QByteArray packet = PacketCodec::buildRequest(quint32(cmdId), data + offset, n, offset + n >= length);
        if (!sendToDevice(index, packet)) {
            qWarning("sendToDevice error");
            return false;
        }
    }
    return collectReply(index, reply, replyCapacity);
}

bool DeviceSender::sendText(int index, int cmdId, const QByteArray &text, char *reply, int replyCapacity)
{
    if (text.isEmpty() && index != -1)
        return refuseEmptyText(index, cmdId);
    return sendCmdToDevice(index, cmdId, text.constData(), int(text.size()), reply, replyCapacity);
}

bool DeviceSender::refuseEmptyText(int index, int cmdId)
{
    LogManager::instance()->log(WARNING, "Error",
                                QStringLiteral("设备%1的命令%2没有可发送的内容(命令文本已被拒绝)，未发送")
                                    .arg(index)
                                    .arg(cmdId));
    return false;
}

bool DeviceSender::sendToDevice(int index, const QByteArray &packet)
{
    if (refusedWhileBusHeld(index, -1))
        return false;
    if (!quiet())
        qDebug("sendToDevice index:%d", index);
    HIDManager *manager = m_lookup ? m_lookup(index) : nullptr;
    if (!manager) {
        qWarning("Invalid device index");
        return false;
    }
    return manager->writeData(packet) >= 0;
}

QByteArray DeviceSender::readFromDevice(int index, void *arg)
{
    HIDManager *manager = m_lookup ? m_lookup(index) : nullptr;
    if (!manager) {
        qWarning("Invalid device index");
        return QByteArray();
    }
    return manager->readData(kReadTimeoutMs, arg);
}

void DeviceSender::holdBus(const DeviceSender *holder)
{
    g_busHolder = holder;
}

bool DeviceSender::isBusHeld()
{
    return g_busHolder != nullptr;
}

bool DeviceSender::refusedWhileBusHeld(int index, int cmdId) const
{
    if (!g_busHolder || g_busHolder == this)
        return false;
    const QString request = cmdId >= 0 ? QStringLiteral("命令%1").arg(cmdId) : QStringLiteral("数据包");
    LogManager::instance()->log(WARNING, "Error",
                                QStringLiteral("固件升级进行中，设备%1的%2未发送").arg(index).arg(request));
    return true;
}

void DeviceSender::forgetUnanswered(int index)
{
    if (index < 0)
        m_unanswered.clear();
    else
        m_unanswered.remove(index);
}

bool DeviceSender::refusedAsUnanswered(int index)
{
    if (!m_unanswered.contains(index))
        return false;
    if (!quiet())
        qDebug("device %d did not answer before: request not sent", index);
    return true;
}

bool DeviceSender::collectReply(int index, char *reply, int replyCapacity)
{
    int indexCopy = index;
    bool result = false;
    int position = 0;
    bool overflow = false;
    if (reply && replyCapacity > 0)
        reply[0] = '\0';
    for (int packets = 0;; ++packets) {
        if (packets == kMaxReplyPackets) {
            LogManager::instance()->log(WARNING, "Error",
                                        QStringLiteral("设备%1回复超过%2个数据包仍未结束，停止接收")
                                            .arg(index)
                                            .arg(kMaxReplyPackets));
            return false;
        }
        const QByteArray packet = readFromDevice(index, &indexCopy);
        if (packets == 0 && packet.count('\0') == packet.size()) {
            // Nothing at all within the read time-out, or the device is gone (a read
            // gives a zero report then).
            m_unanswered.insert(index);
            LogManager::instance()->log(WARNING, "Error",
                                        QStringLiteral("设备%1在%2毫秒内没有回复，本次操作不再向它发送请求")
                                            .arg(index)
                                            .arg(kReadTimeoutMs));
            break;
        }
        const PacketCodec::Reply parsed = PacketCodec::parseReply(packet);
        if (!parsed.valid)
            break;
        const int n = int(parsed.payload.size());
        if (reply && n > 0 && !overflow) {
            const int room = replyCapacity - 1 - position; // keep one byte for the terminator
            const int copy = qMin(n, qMax(room, 0));
            if (copy > 0) {
                std::memcpy(reply + position, parsed.payload.constData(), size_t(copy));
                position += copy;
            }
            if (replyCapacity > 0)
                reply[position] = '\0';
            if (copy < n) {
                overflow = true;
                LogManager::instance()->log(WARNING, "Error",
                                            QStringLiteral("设备%1回复超出接收缓冲区(%2字节)，已截断并判为失败")
                                                .arg(index)
                                                .arg(replyCapacity));
            }
        }
        result = true;
        if (parsed.last)
            break;
    }
    return result && !overflow;
}

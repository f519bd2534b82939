#include "panel_camera_context.h"

#include "command_texts.h"
#include "debounced_param_sender.h"
#include "hid_manager.h"
#include "log_manager.h"
#include "packet_cmd.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>

PanelCameraContext::PanelCameraContext(const Style &style, QObject *parent)
    : QObject(parent), m_style(style), m_paramSender(new DebouncedParamSender(this)),
      m_sender([this](int index) { return index == -1 ? nullptr : m_manager.data(); }, style.requestLog)
{
}

PanelCameraContext::PanelCameraContext(DeviceSender::ManagerLookup lookup, int *index, const Style &style,
                                       const bool *quietProbe, QObject *parent)
    : QObject(parent), m_style(style), m_index(index ? index : &m_ownIndex), m_sendEnabled(true),
      m_paramSender(new DebouncedParamSender(this)), m_sender(std::move(lookup), style.requestLog, quietProbe)
{
}

PanelCameraContext::~PanelCameraContext() = default;

void PanelCameraContext::setDevice(HIDManager *manager, int index)
{
    m_manager = manager;
    *m_index = index;
    m_sender.forgetUnanswered(); // a camera handed over anew is asked again
}

HIDManager *PanelCameraContext::manager() const
{
    return m_manager.data();
}

bool PanelCameraContext::sendVideoParam(const QString &key, const QString &value)
{
    return sendParam(true, key, value);
}

bool PanelCameraContext::sendSystemSetting(const QString &key, const QString &value)
{
    return sendParam(false, key, value);
}

bool PanelCameraContext::sendParam(bool video, const QString &key, const QString &value)
{
    if (!m_sendEnabled)
        return false;
    const QByteArray text = video ? CommandTexts::setVideoParam(key, value) : CommandTexts::setSetting(key, value);
    switch (m_style.paramLog) {
    case ParamLog::ControlPanel:
        qDebug() << (video ? "[CAMERA_PARAM] device:" : "[SYSTEM_PARAM] device:") << deviceIndex()
                 << "command:" << key << "value:" << value;
        break;
    case ParamLog::CommandRecord:
        LogManager::instance()->log(INFO, "Command",
                                    QString::fromLatin1(video ? "[CAMERA_PARAM] command:%1, value:%2, sendcmd:%3"
                                                              : "sendSystemParam - command:%1, value:%2, sendcmd:%3")
                                        .arg(key, value, QString::fromUtf8(text)));
        break;
    case ParamLog::None:
        break;
    }
    return m_sender.sendText(deviceIndex(), video ? CmdSetVideoParam : CmdJson, text);
}

bool PanelCameraContext::sendText(int cmdId, const QByteArray &text, char *reply, int replyCapacity)
{
    return m_sender.sendText(deviceIndex(), cmdId, text, reply, replyCapacity);
}

bool PanelCameraContext::sendCmd(int cmdId, const void *payload, int length, char *reply, int replyCapacity)
{
    return m_sender.sendCmdToDevice(deviceIndex(), cmdId, payload, length, reply, replyCapacity);
}

QByteArray PanelCameraContext::query(const QByteArray &request)
{
    QByteArray reply(DeviceSender::kReplyBufferSize, '\0');
    m_sender.sendText(deviceIndex(), CmdGetParam, request, reply.data(), int(reply.size()));
    return QByteArray(reply.constData()); // up to the terminating zero
}

bool PanelCameraContext::sendCheckedTo(int index, int cmdId, const QByteArray &text)
{
    QByteArray reply(DeviceSender::kReplyBufferSize, '\0');
    const bool exchanged = text.isEmpty()
                               ? m_sender.sendCmdToDevice(index, cmdId, nullptr, 0, reply.data())
                               : m_sender.sendText(index, cmdId, text, reply.data(), int(reply.size()));
    if (!exchanged)
        return false;
    const QJsonObject content =
        QJsonDocument::fromJson(QByteArray(reply.constData())).object().value(QStringLiteral("Content")).toObject();
    return content.value(QStringLiteral("nResult")).toInt(0) >= 0;
}

bool PanelCameraContext::testConnection()
{
    QByteArray reply(DeviceSender::kReplyBufferSize, '\0');
    sendText(CmdJson, CommandTexts::getDeviceDirection(), reply.data(), int(reply.size()));
    QJsonParseError error;
    QJsonDocument::fromJson(QByteArray(reply.constData()), &error);
    if (error.error != QJsonParseError::NoError) {
        qDebug() << "JSON解析错误, 设备连接测试失败" << error.errorString();
        return false;
    }
    return true;
}

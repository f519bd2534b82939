#include "cli_direct_cameras.h"

#include "command_texts.h"
#include "packet_cmd.h"
#include "remote_command_words.h"

QString CliDirectCameras::list(QList<CliOutput::Camera> *cameras)
{
    for (int i = 0; i < m_link.count(); ++i) {
        const auto &c = m_link.camera(i);
        *cameras << CliOutput::Camera{i, c.answered, c.deviceName, c.productModel, c.serial, c.buildDate};
    }
    return QString();
}

QString CliDirectCameras::indexOfSerial(const QString &serial, int *index)
{
    *index = m_link.indexOfSerial(serial);
    return QString();
}

QString CliDirectCameras::requireCamera(int index) const
{
    if (index >= m_link.count())
        return QStringLiteral("no camera with index %1 (%2 connected)").arg(index).arg(m_link.count());
    return QString();
}

CameraRecordIo::Exchange CliDirectCameras::recordExchange(int index)
{
    return [this, index](quint32 cmdId, const QByteArray &text) { return m_link.exchangeText(index, cmdId, text); };
}

QString CliDirectCameras::readParams(int index, QJsonObject *reported)
{
    QJsonObject video, settings;
    QString error = m_link.exchange(index, CmdGetParam, CommandTexts::getVideoParam(), &video);
    if (error.isEmpty())
        error = m_link.exchange(index, CmdGetParam, CommandTexts::getSetting(), &settings);
    if (!error.isEmpty())
        return error;
    QJsonObject settingMembers = settings.value("Content").toObject();
    settingMembers.remove("nResult");
    (*reported)["VideoParam"] = video.value("Content").toObject().value("VideoParam").toObject();
    (*reported)["Setting"] = settingMembers;
    return QString();
}

// The camera says which keys it has: a video parameter, else a setting.
QString CliDirectCameras::setParam(int index, const QString &key, const QString &jsonValue)
{
    QJsonObject video, settings;
    QString error = m_link.exchange(index, CmdGetParam, CommandTexts::getVideoParam(), &video);
    if (!error.isEmpty())
        return error;
    QByteArray text;
    quint32 packetId = CmdJson;
    if (video.value("Content").toObject().value("VideoParam").toObject().contains(key)) {
        text = CommandTexts::setVideoParam(key, jsonValue);
        packetId = CmdSetVideoParam;
    } else {
        error = m_link.exchange(index, CmdGetParam, CommandTexts::getSetting(), &settings);
        if (!error.isEmpty())
            return error;
        if (!settings.value("Content").toObject().contains(key) || key == "nResult")
            return QStringLiteral("camera %1 has no parameter or setting named %2").arg(index).arg(key);
        text = CommandTexts::setSetting(key, jsonValue);
    }
    if (text.isEmpty())
        return QStringLiteral("the command does not fit one request");
    QJsonObject reply;
    return m_link.exchange(index, packetId, text, &reply);
}

QString CliDirectCameras::ptz(int index, const QString &command)
{
    QJsonObject reply;
    return m_link.exchange(index, CmdJson, CommandTexts::ptzCtrl(command), &reply);
}

QString CliDirectCameras::preset(int index, const QString &action, int presetId)
{
    QJsonObject reply;
    return m_link.exchange(index, CmdJson, CommandTexts::presetCtrl(RemoteCommandWords::presetCommand(action), presetId),
                           &reply);
}

QString CliDirectCameras::readRecord(int index, CameraParams *record)
{
    const QString error = requireCamera(index);
    return error.isEmpty() ? CameraRecordIo::read(recordExchange(index), *record) : error;
}

QString CliDirectCameras::writeRecord(int index, const CameraParams &record)
{
    const QString error = requireCamera(index);
    return error.isEmpty() ? CameraRecordIo::write(recordExchange(index), record) : error;
}

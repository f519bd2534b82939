#include "cli_direct_cameras.h"

#include "command_texts.h"
#include "packet_cmd.h"
#include "param_catalogue.h"
#include "param_value_check.h"
#include "remote_command_words.h"

#include <QJsonArray>
#include <QJsonDocument>

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

// The key must be one the camera's panel has a control for, and the value one that
// control can send: the same check as the control API's.
QString CliDirectCameras::setParam(int index, const QString &key, const QString &jsonValue)
{
    if (const QString error = requireCamera(index); !error.isEmpty())
        return error;
    const std::optional<ParamCatalogue::Entry> entry = ParamCatalogue::find(m_link.camera(index).productModel, key);
    if (!entry)
        return QStringLiteral("unknown parameter: %1").arg(key);
    const QJsonArray parsed = QJsonDocument::fromJson("[" + jsonValue.toUtf8() + "]").array();
    QString refusal;
    const std::optional<int> value = ParamValueCheck::check(key, entry->values, parsed.at(0), &refusal);
    if (!value)
        return refusal;
    const QByteArray text =
        entry->setting ? CommandTexts::setSetting(key, *value) : CommandTexts::setVideoParam(key, *value);
    if (text.isEmpty())
        return QStringLiteral("the command does not fit one request");
    QJsonObject reply;
    return m_link.exchange(index, entry->setting ? CmdJson : CmdSetVideoParam, text, &reply);
}

QString CliDirectCameras::ptz(int index, const QString &command, bool raw)
{
    if (const QString error = requireCamera(index); !error.isEmpty())
        return error;
    const QString word = raw ? command : RemoteCommandWords::cameraPtzWord(command, m_link.camera(index).productModel);
    QJsonObject reply;
    return m_link.exchange(index, CmdJson, CommandTexts::ptzCtrl(word), &reply);
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
    if (const QString error = requireCamera(index); !error.isEmpty())
        return error;
    QJsonObject reported;
    if (const QString error = CameraRecordIo::readReported(recordExchange(index), &reported); !error.isEmpty())
        return error;
    const QHash<QString, ParamCatalogue::Entry> catalogue = ParamCatalogue::forModel(m_link.camera(index).productModel);
    const QString refused = CameraRecordIo::checkValues(
        record,
        [&](const QString &key) -> std::optional<QSet<int>> {
            const auto it = catalogue.constFind(key);
            return it == catalogue.constEnd() ? std::nullopt : std::optional<QSet<int>>(it->values);
        },
        reported);
    if (!refused.isEmpty())
        return QStringLiteral("the profile is refused: %1").arg(refused);
    return CameraRecordIo::write(recordExchange(index), record);
}

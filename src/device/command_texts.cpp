#include "command_texts.h"

#include "log_manager.h"

namespace {
QString q(const QString &text)
{
    return CommandTexts::escapeJson(text);
}
} // namespace

QString CommandTexts::escapeJson(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\b': out += QLatin1String("\\b"); break;
        case '\f': out += QLatin1String("\\f"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}

QByteArray CommandTexts::finish(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.size() >= kBufferSize) {
        LogManager::instance()->log(WARNING, "Error",
                                    QStringLiteral("命令文本超出缓冲区(%1字节)，已拒绝发送: %2")
                                        .arg(bytes.size())
                                        .arg(QString::fromUtf8(bytes.left(80))));
        return QByteArray();
    }
    return bytes;
}

QByteArray CommandTexts::getDeviceDirection()
{
    return "{\"Cmd\":\"ReqGetDeviceDirection\",\"Content\":{}}";
}

QByteArray CommandTexts::getVideoParam()
{
    return "{\"Cmd\": \"ReqGetVideoParam\", \"wCmdId\": 40001089}";
}

QByteArray CommandTexts::getSetting()
{
    return "{\"Cmd\": \"ReqGetSetting\",\"Content\" : {}}";
}

QByteArray CommandTexts::getHsvHueLut()
{
    return "{\"Cmd\": \"ReqGetHSVHueLut\",\"Content\" : {}}";
}

QByteArray CommandTexts::getHsvStaLut()
{
    return "{\"Cmd\": \"ReqGetHSVStaLut\",\"Content\" : {}}";
}

QByteArray CommandTexts::setVideoParam(const QString &key, const QString &jsonValue)
{
    return finish(QStringLiteral("{\"Cmd\":\"ReqSetVideoParam\",\"wCmdId\":40001090,\"Content\":{\"ChanNum\":0,"
                                 "\"VideoParam\":{\"%1\":%2}}}")
                      .arg(q(key), jsonValue));
}

QByteArray CommandTexts::setVideoParam(const QString &key, int value)
{
    return setVideoParam(key, QString::number(value));
}

QByteArray CommandTexts::setFocusMode(int mode)
{
    return setVideoParam(QStringLiteral("ucFocusMode"), mode);
}

QByteArray CommandTexts::setSetting(const QString &key, const QString &jsonValue)
{
    return finish(QStringLiteral("{\"Cmd\":\"ReqSetSetting\",\"Content\":{\"%1\":%2}}").arg(q(key), jsonValue));
}

QByteArray CommandTexts::setSetting(const QString &key, int value)
{
    return setSetting(key, QString::number(value));
}

QByteArray CommandTexts::setDefaultParam(int config)
{
    return finish(QStringLiteral("{\"Cmd\":\"ReqSetDefaultParam\",\"wCmdId\":40001093,\"Content\":{\"ChanNum\":0,"
                                 "\"eDefaultParamCfg\":%1}}")
                      .arg(config));
}

QByteArray CommandTexts::hsvTable(const char *cmd, const char *member, const QVector<int> &values)
{
    if (values.size() != kHsvPoints) {
        LogManager::instance()->log(WARNING, "Error",
                                    QStringLiteral("颜色表点数错误(%1)，已拒绝发送 %2").arg(values.size()).arg(cmd));
        return QByteArray();
    }
    QStringList numbers;
    for (int v : values)
        numbers << QString::number(v);
    return finish(QStringLiteral("{\"Cmd\":\"%1\",\"Content\":{\"%2\":[%3]}}")
                      .arg(QLatin1String(cmd), QLatin1String(member), numbers.join(',')));
}

QByteArray CommandTexts::setHsvHueLut(const QVector<int> &values)
{
    return hsvTable("ReqSetHSVHueLut", "HSV_Hue", values);
}

QByteArray CommandTexts::setHsvStaLut(const QVector<int> &values)
{
    return hsvTable("ReqSetHSVStaLut", "HSV_Sta", values);
}

QByteArray CommandTexts::ptzCtrl(const QString &command)
{
    return finish(QStringLiteral("{\"Cmd\":\"ReqPtzCtrl\",\"Content\":{\"PtzCmd\":\"%1\"}}").arg(q(command)));
}

QByteArray CommandTexts::presetCtrl(const QString &command, int presetId)
{
    return finish(QStringLiteral("{\"Cmd\": \"ReqPresetCtrl\",\"Content\" : {\"PresetCmd\": \"%1\",\"PresetID\" : "
                                 "%2,\"PresetName\" : \"Preset%2\"}}")
                      .arg(q(command), QString::number(presetId)));
}

QByteArray CommandTexts::getFaceIds()
{
    return "{\"Cmd\":\"ReqGetFaceIDs\",\"Content\":{}}";
}

QByteArray CommandTexts::getFaceNames()
{
    return "{\"Cmd\":\"ReqGetFaceNames\",\"Content\":{}}";
}

QByteArray CommandTexts::getEnabledFaceIds()
{
    return "{\"Cmd\":\"ReqGetEnabledFaceIds\",\"Content\":{}}";
}

QByteArray CommandTexts::setFaceIdName(int id, const QString &name)
{
    return finish(QStringLiteral("{\"Cmd\":\"ReqSetFaceIdName\",\"Content\":{\"ID\":%1,\"Name\":\"%2\"}}")
                      .arg(QString::number(id), q(name)));
}

QByteArray CommandTexts::setFaceFocusTrainSelect(int id)
{
    return setFaceFocusTrain(QStringLiteral("select"), id);
}

QByteArray CommandTexts::setFaceFocusTrain(const QString &type, int id)
{
    return finish(QStringLiteral("{\"Cmd\":\"ReqSetFaceFocusTrain\",\"Content\":{\"Type\":\"%1\",\"ID\":%2}}")
                      .arg(q(type), QString::number(id)));
}

QByteArray CommandTexts::getFaceFocusTrain()
{
    return "{\"Cmd\":\"ReqGetFaceFocusTrain\",\"Content\":{}}";
}

QByteArray CommandTexts::setEnabledFaceModeId(int id)
{
    return finish(QStringLiteral("{\"Cmd\":\"ReqSetEnabledFaceModeId\",\"Content\":{\"FaceModeId\":%1}}").arg(id));
}

QByteArray CommandTexts::setEnabledPortraitModeId(int id)
{
    return finish(
        QStringLiteral("{\"Cmd\":\"ReqSetEnabledPortraitModeId\",\"Content\":{\"PortraitModeId\":%1}}").arg(id));
}

QByteArray CommandTexts::deleteFocusId(int id)
{
    return finish(QStringLiteral("{\"Cmd\":\"ReqDeleteFocusID\",\"Content\":{\"ID\":%1}}").arg(id));
}

QByteArray CommandTexts::manualRebootSet()
{
    return "{\"Cmd\":\"ReqSetManualRebootSet\",\"Content\":{}}";
}

QByteArray CommandTexts::deviceName(const QString &name)
{
    QByteArray text = finish(QStringLiteral("{\"DeviceName\": \"%1\"}").arg(q(name)));
    if (!text.isEmpty())
        text.append('\0');
    return text;
}

QByteArray CommandTexts::upgradeRequest(qint64 fileSize)
{
    return finish(QStringLiteral("{\"FileType\": 2, \"FileSize\": %1}").arg(fileSize));
}

QByteArray CommandTexts::paletteData(const QList<QList<quint32>> &table)
{
    QByteArray text = "{\"Cmd\":\"ReqSetPaletteData\",\"wCmdId\":40001090,\"Content\":{\"ChanNum\":0,\"PaletteData\":[";
    const int rows = qMin(int(table.size()), kPaletteRows);
    for (int r = 0; r < rows; ++r) {
        if (r > 0)
            text += ',';
        text += '[';
        const int words = qMin(int(table[r].size()), kPaletteWords);
        for (int i = 0; i < words; ++i) {
            if (i > 0)
                text += ',';
            text += QByteArray::number(table[r][i]);
        }
        text += ']';
    }
    text += "]}}";
    return text;
}

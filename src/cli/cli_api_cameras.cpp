#include "cli_api_cameras.h"

#ifdef KESTRANE_CONTROL_API

#include "camera_config_file.h"

#include <QJsonArray>
#include <QJsonDocument>

QString CliApiCameras::failure(const ControlApiClient::Response &response)
{
    return response.status == 200 ? QString() : QStringLiteral("control panel: %1").arg(response.message());
}

QString CliApiCameras::cameras(QList<CliOutput::Camera> *cameras)
{
    if (!m_cameras) {
        const ControlApiClient::Response response = m_client.get(QStringLiteral("/cameras"));
        if (const QString error = failure(response); !error.isEmpty())
            return error;
        QList<CliOutput::Camera> listed;
        for (const QJsonValue &value : response.body.value("cameras").toArray()) {
            const QJsonObject c = value.toObject();
            listed << CliOutput::Camera{c.value("index").toInt(-1), true,
                                        c.value("name").toString(), c.value("model").toString(),
                                        c.value("serial").toString(), c.value("buildDate").toString()};
        }
        m_cameras = listed;
    }
    *cameras = *m_cameras;
    return QString();
}

QString CliApiCameras::list(QList<CliOutput::Camera> *listed)
{
    return cameras(listed);
}

QString CliApiCameras::indexOfSerial(const QString &serial, int *index)
{
    QList<CliOutput::Camera> listed;
    *index = -1;
    const QString error = cameras(&listed);
    for (const CliOutput::Camera &c : std::as_const(listed))
        if (c.serial == serial)
            *index = c.index;
    return error;
}

QString CliApiCameras::cameraPath(int index, QString *path)
{
    QList<CliOutput::Camera> listed;
    if (const QString error = cameras(&listed); !error.isEmpty())
        return error;
    for (const CliOutput::Camera &c : std::as_const(listed)) {
        if (c.index == index) {
            *path = QStringLiteral("/cameras/") + ControlApiClient::segment(c.serial);
            return QString();
        }
    }
    return QStringLiteral("no camera with index %1 (%2 connected)").arg(index).arg(listed.size());
}

QString CliApiCameras::post(int index, const QString &what, const QJsonObject &body)
{
    QString path;
    const QString error = cameraPath(index, &path);
    return error.isEmpty() ? failure(m_client.post(path + what, body)) : error;
}

QString CliApiCameras::readParams(int index, QJsonObject *reported)
{
    QString path;
    if (const QString error = cameraPath(index, &path); !error.isEmpty())
        return error;
    const ControlApiClient::Response response = m_client.get(path + QStringLiteral("/params"));
    *reported = response.body;
    return failure(response);
}

QString CliApiCameras::setParam(int index, const QString &key, const QString &jsonValue)
{
    const QJsonValue value = QJsonDocument::fromJson("[" + jsonValue.toUtf8() + "]").array().at(0);
    return post(index, QStringLiteral("/params"), QJsonObject{{"key", key}, {"value", value}});
}

QString CliApiCameras::ptz(int index, const QString &command, bool raw)
{
    QJsonObject body{{"command", command}};
    if (raw)
        body.insert("raw", true);
    return post(index, QStringLiteral("/ptz"), body);
}

QString CliApiCameras::preset(int index, const QString &action, int presetId)
{
    return post(index, QStringLiteral("/preset"), QJsonObject{{"action", action}, {"preset", presetId}});
}

QString CliApiCameras::readRecord(int index, CameraParams *record)
{
    QString path;
    if (const QString error = cameraPath(index, &path); !error.isEmpty())
        return error;
    const ControlApiClient::Response response = m_client.get(path + QStringLiteral("/profile"));
    if (const QString error = failure(response); !error.isEmpty())
        return error;
    const QByteArray::FromBase64Result image = QByteArray::fromBase64Encoding(
        response.body.value("config").toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!image || CameraConfigFile::decode(*image, *record) != CameraConfigFile::Status::Ok)
        return QStringLiteral("control panel: the profile it sent is not a camera configuration file");
    return QString();
}

QString CliApiCameras::writeRecord(int index, const CameraParams &record)
{
    return post(index, QStringLiteral("/profile"),
                QJsonObject{{"config", QString::fromLatin1(CameraConfigFile::encode(record).toBase64())}});
}

#endif

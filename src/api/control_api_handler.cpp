#include "control_api_handler.h"

#include "build_config.h"
#include "camera_config_file.h"
#include "command_texts.h"
#include "device_models.h"
#include "packet_cmd.h"
#include "remote_command_words.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
const QStringList kPrefix = {QStringLiteral("api"), QStringLiteral("v1")};

bool underPrefix(const QStringList &path)
{
    return path.size() >= kPrefix.size() && path.mid(0, kPrefix.size()) == kPrefix;
}

// A JSON number with an integral value in the int range.
std::optional<int> integral(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double d = value.toDouble();
    if (std::floor(d) != d || d < std::numeric_limits<int>::min() || d > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(d);
}

QJsonObject ok()
{
    return QJsonObject{{QStringLiteral("ok"), true}};
}
} // namespace

ControlApiHandler::Reply ControlApiHandler::error(int status, const QString &message)
{
    return Reply{status, QJsonObject{{QStringLiteral("error"), message}}};
}

QJsonObject ControlApiHandler::cameraObject(const Camera &camera)
{
    return QJsonObject{
        {QStringLiteral("serial"), camera.entry.serial},
        {QStringLiteral("name"), camera.entry.deviceName},
        {QStringLiteral("model"), camera.entry.productModel},
        {QStringLiteral("series"), seriesOfModel(camera.entry.productModel)},
        {QStringLiteral("buildDate"), camera.entry.buildDate},
        {QStringLiteral("index"), camera.index},
        {QStringLiteral("active"), camera.active},
    };
}

std::optional<ControlApiHandler::Reply> ControlApiHandler::immediate(const Request &request)
{
    if (!underPrefix(request.path))
        return error(404, QStringLiteral("no such path; the API lives under /api/v1"));
    if (request.path.size() > kPrefix.size())
        return std::nullopt;
    if (request.method != "GET")
        return error(405, QStringLiteral("method not allowed"));
    return Reply{200, QJsonObject{{QStringLiteral("service"), QStringLiteral("kestrane")},
                                  {QStringLiteral("api"), 1},
                                  {QStringLiteral("version"), QStringLiteral(KESTRANE_VERSION)}}};
}

bool ControlApiHandler::reachesCamera(const Request &request)
{
    return underPrefix(request.path) && request.path.size() > kPrefix.size() + 2 &&
           request.path[kPrefix.size()] == QLatin1String("cameras");
}

bool ControlApiHandler::isStop(const Request &request)
{
    if (request.method != "POST" || !reachesCamera(request) || request.path.last() != QLatin1String("ptz"))
        return false;
    const QString command = QJsonDocument::fromJson(request.body).object().value(QStringLiteral("command")).toString();
    return RemoteCommandWords::isStopCommand(command);
}

const QList<ControlApiHandler::Route> &ControlApiHandler::routes()
{
    static const QList<Route> table = {
        {"params", false, "GET", &ControlApiHandler::readParams},
        {"params", true, "GET", &ControlApiHandler::readParam},
        {"params", false, "POST", &ControlApiHandler::setParam},
        {"ptz", false, "POST", &ControlApiHandler::ptz},
        {"preset", false, "POST", &ControlApiHandler::preset},
        {"select", false, "POST", &ControlApiHandler::select},
        {"profile", false, "GET", &ControlApiHandler::exportProfile},
        {"profile", false, "POST", &ControlApiHandler::importProfile},
    };
    return table;
}

ControlApiHandler::Reply ControlApiHandler::handle(const Request &request)
{
    if (std::optional<Reply> reply = immediate(request))
        return *reply;
    const QStringList path = request.path.mid(kPrefix.size());
    if (path[0] != QLatin1String("cameras") || path.size() > 4)
        return error(404, QStringLiteral("no such path"));
    const QList<Camera> cameras = m_backend->cameras();
    if (path.size() == 1) {
        if (request.method != "GET")
            return error(405, QStringLiteral("method not allowed"));
        QJsonArray list;
        for (const Camera &camera : cameras)
            list.append(cameraObject(camera));
        return Reply{200, QJsonObject{{QStringLiteral("cameras"), list}}};
    }
    const auto camera = std::find_if(cameras.cbegin(), cameras.cend(),
                                     [&](const Camera &c) { return !path[1].isEmpty() && c.entry.serial == path[1]; });
    if (camera == cameras.cend())
        return error(404, QStringLiteral("no camera with serial %1").arg(path[1]));
    if (path.size() == 2)
        return request.method == "GET" ? Reply{200, cameraObject(*camera)} : error(405, QStringLiteral("method not allowed"));
    bool pathKnown = false;
    for (const Route &route : routes()) {
        if (path[2] != QLatin1String(route.what) || (path.size() == 4) != route.withKey)
            continue;
        pathKnown = true;
        if (request.method == route.method) {
            m_backend->newRequest(*camera);
            return (this->*route.action)(*camera, request);
        }
    }
    return pathKnown ? error(405, QStringLiteral("method not allowed")) : error(404, QStringLiteral("no such path"));
}

std::optional<QJsonObject> ControlApiHandler::members(const Request &request, const QStringList &required,
                                                      Reply *failure, const QStringList &optional)
{
    QJsonObject object;
    if (!request.body.trimmed().isEmpty()) {
        QJsonParseError parseError;
        const QJsonDocument doc = QJsonDocument::fromJson(request.body, &parseError);
        if (parseError.error != QJsonParseError::NoError) {
            *failure = error(400, QStringLiteral("the body is not JSON (at byte %1)").arg(parseError.offset));
            return std::nullopt;
        }
        if (!doc.isObject()) {
            *failure = error(400, QStringLiteral("the body must be a JSON object"));
            return std::nullopt;
        }
        object = doc.object();
    }
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!required.contains(it.key()) && !optional.contains(it.key())) {
            *failure = error(400, QStringLiteral("unknown member: %1").arg(it.key()));
            return std::nullopt;
        }
    }
    for (const QString &name : required) {
        if (!object.contains(name)) {
            *failure = error(400, QStringLiteral("missing member: %1").arg(name));
            return std::nullopt;
        }
    }
    return object;
}

ControlApiHandler::Reply ControlApiHandler::send(const Camera &camera, quint32 cmdId, const QByteArray &text)
{
    if (text.isEmpty())
        return error(400, QStringLiteral("the command does not fit one request"));
    const std::optional<QByteArray> reply = m_backend->exchange(camera.index, cmdId, text);
    if (!reply)
        return error(502, QStringLiteral("camera %1 did not answer").arg(camera.entry.serial));
    // Set commands are not confirmed; only an explicit refusal fails.
    const QJsonValue result =
        QJsonDocument::fromJson(*reply).object().value(QStringLiteral("Content")).toObject().value(QStringLiteral("nResult"));
    if (result.isDouble() && result.toInt() < 0)
        return error(502, QStringLiteral("camera %1 refused the command (nResult %2)").arg(camera.entry.serial).arg(result.toInt()));
    return Reply{200, ok()};
}

CameraRecordIo::Exchange ControlApiHandler::recordExchange(const Camera &camera)
{
    return [this, index = camera.index](quint32 cmdId, const QByteArray &text) {
        return m_backend->exchange(index, cmdId, text).value_or(QByteArray());
    };
}

QString ControlApiHandler::readReported(const Camera &camera, QJsonObject *reported)
{
    return CameraRecordIo::readReported(recordExchange(camera), reported);
}

ControlApiHandler::Reply ControlApiHandler::readParams(const Camera &camera, const Request &)
{
    QJsonObject reported;
    const QString failure = readReported(camera, &reported);
    return failure.isEmpty() ? Reply{200, reported} : error(502, failure);
}

ControlApiHandler::Reply ControlApiHandler::readParam(const Camera &camera, const Request &request)
{
    const QString key = request.path.last();
    const std::optional<ControlApiBackend::Param> param = m_backend->param(camera, key);
    if (!param)
        return error(400, QStringLiteral("unknown parameter: %1").arg(key));
    QJsonObject reported;
    const QString failure = readReported(camera, &reported);
    if (!failure.isEmpty())
        return error(502, failure);
    const QJsonValue value =
        reported.value(param->setting ? QStringLiteral("Setting") : QStringLiteral("VideoParam")).toObject().value(key);
    if (value.isUndefined())
        return error(502, QStringLiteral("camera %1 did not report %2").arg(camera.entry.serial, key));
    return Reply{200, QJsonObject{{QStringLiteral("key"), key}, {QStringLiteral("value"), value}}};
}

ControlApiHandler::Reply ControlApiHandler::setParam(const Camera &camera, const Request &request)
{
    Reply failure;
    const std::optional<QJsonObject> body = members(request, {QStringLiteral("key"), QStringLiteral("value")}, &failure);
    if (!body)
        return failure;
    const QString key = body->value(QStringLiteral("key")).toString();
    const std::optional<ControlApiBackend::Param> param = m_backend->param(camera, key);
    if (!param)
        return error(400, QStringLiteral("unknown parameter: %1").arg(body->value(QStringLiteral("key")).toVariant().toString()));
    const std::optional<int> value = integral(body->value(QStringLiteral("value")));
    if (!value)
        return error(400, QStringLiteral("value must be an integer"));
    if (!param->values.contains(*value)) {
        const QList<int> allowed(param->values.cbegin(), param->values.cend());
        const auto [low, high] = std::minmax_element(allowed.cbegin(), allowed.cend());
        return error(400, allowed.isEmpty() ? QStringLiteral("%1 takes no value now").arg(key)
                                            : QStringLiteral("value %1 out of range for %2 (%3…%4, %5 values)")
                                                  .arg(*value)
                                                  .arg(key)
                                                  .arg(*low)
                                                  .arg(*high)
                                                  .arg(allowed.size()));
    }
    const Reply reply = param->setting ? send(camera, CmdJson, CommandTexts::setSetting(key, *value))
                                       : send(camera, CmdSetVideoParam, CommandTexts::setVideoParam(key, *value));
    if (reply.status == 200)
        m_backend->valueSent(camera, key, *value);
    return reply;
}

ControlApiHandler::Reply ControlApiHandler::ptz(const Camera &camera, const Request &request)
{
    Reply failure;
    const std::optional<QJsonObject> body = members(request, {QStringLiteral("command")}, &failure);
    if (!body)
        return failure;
    const QString command = body->value(QStringLiteral("command")).toString();
    if (!RemoteCommandWords::ptzCommands().contains(command))
        return error(400, QStringLiteral("command must be one of %1").arg(RemoteCommandWords::ptzCommands().join(", ")));
    return send(camera, CmdJson, CommandTexts::ptzCtrl(command));
}

ControlApiHandler::Reply ControlApiHandler::preset(const Camera &camera, const Request &request)
{
    Reply failure;
    const std::optional<QJsonObject> body = members(request, {QStringLiteral("action"), QStringLiteral("preset")}, &failure);
    if (!body)
        return failure;
    const QString command = RemoteCommandWords::presetCommand(body->value(QStringLiteral("action")).toString());
    if (command.isEmpty())
        return error(400, QStringLiteral("action must be one of %1").arg(RemoteCommandWords::presetWords().join(", ")));
    const std::optional<int> id = integral(body->value(QStringLiteral("preset")));
    if (!id || *id < 1 || *id > RemoteCommandWords::kMaxPresetId)
        return error(400, QStringLiteral("preset must be an integer from 1 to %1").arg(RemoteCommandWords::kMaxPresetId));
    return send(camera, CmdJson, CommandTexts::presetCtrl(command, *id));
}

ControlApiHandler::Reply ControlApiHandler::select(const Camera &camera, const Request &request)
{
    Reply failure;
    if (!members(request, {}, &failure))
        return failure;
    if (!m_backend->select(camera))
        return error(502, QStringLiteral("camera %1 could not be activated").arg(camera.entry.serial));
    return Reply{200, ok()};
}

ControlApiHandler::Reply ControlApiHandler::exportProfile(const Camera &camera, const Request &)
{
    CameraParams record;
    const QString failure = CameraRecordIo::read(recordExchange(camera), record);
    if (!failure.isEmpty())
        return error(502, failure);
    return Reply{200, QJsonObject{{QStringLiteral("serial"), camera.entry.serial},
                                  {QStringLiteral("config"),
                                   QString::fromLatin1(CameraConfigFile::encode(record).toBase64())}}};
}

ControlApiHandler::Reply ControlApiHandler::importProfile(const Camera &camera, const Request &request)
{
    Reply failure;
    // An exported profile goes back as it came: its "serial" says where it came from.
    const std::optional<QJsonObject> body =
        members(request, {QStringLiteral("config")}, &failure, {QStringLiteral("serial")});
    if (!body)
        return failure;
    const QByteArray::FromBase64Result image = QByteArray::fromBase64Encoding(
        body->value(QStringLiteral("config")).toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    CameraParams record;
    if (!body->value(QStringLiteral("config")).isString() || !image ||
        CameraConfigFile::decode(*image, record) != CameraConfigFile::Status::Ok)
        return error(400, QStringLiteral("config must be a camera configuration file in base64"));
    const QString written = CameraRecordIo::write(recordExchange(camera), record);
    m_backend->recordWritten(camera);
    return written.isEmpty() ? Reply{200, ok()} : error(502, written);
}

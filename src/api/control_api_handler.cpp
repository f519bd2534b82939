#include "control_api_handler.h"

#include "build_config.h"
#include "camera_config_file.h"
#include "command_texts.h"
#include "device_models.h"
#include "packet_cmd.h"
#include "param_value_check.h"
#include "remote_command_words.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {
const QStringList kPrefix = {QStringLiteral("api"), QStringLiteral("v1")};

bool underPrefix(const QStringList &path)
{
    return path.size() >= kPrefix.size() && path.mid(0, kPrefix.size()) == kPrefix;
}

std::optional<int> integral(const QJsonValue &value)
{
    return ParamValueCheck::integral(value);
}

// The stop word of a move: zoom and focus have their own.
QString stopOf(const QString &word)
{
    if (word.startsWith(QLatin1String("Zoom")))
        return QStringLiteral("ZoomStop");
    if (word.startsWith(QLatin1String("Focus")))
        return QStringLiteral("FocusStop");
    return QStringLiteral("Stop");
}

// The allowed value nearest to `target` (the lower one on a tie).
int nearestAllowed(const QSet<int> &values, qint64 target)
{
    int best = *values.cbegin();
    for (int v : values)
        if (std::llabs(qint64(v) - target) < std::llabs(qint64(best) - target) ||
            (std::llabs(qint64(v) - target) == std::llabs(qint64(best) - target) && v < best))
            best = v;
    return best;
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
        return notAllowed({"GET"});
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
        {"presets", false, "GET", &ControlApiHandler::listPresets},
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
            return notAllowed({"GET"});
        QJsonArray list;
        for (const Camera &camera : cameras)
            list.append(cameraObject(camera));
        return Reply{200, QJsonObject{{QStringLiteral("cameras"), list}}};
    }
    const bool active = path[1] == QLatin1String("active");
    const auto camera = std::find_if(cameras.cbegin(), cameras.cend(), [&](const Camera &c) {
        return active ? c.active : !path[1].isEmpty() && c.entry.serial == path[1];
    });
    if (camera == cameras.cend())
        return active ? error(404, QStringLiteral("no camera is active in the panel"))
                      : error(404, QStringLiteral("no camera with serial %1").arg(path[1]));
    if (path.size() == 2)
        return request.method == "GET" ? Reply{200, cameraObject(*camera)} : notAllowed({"GET"});
    QList<QByteArray> allowed;
    for (const Route &route : routes()) {
        if (path[2] != QLatin1String(route.what) || (path.size() == 4) != route.withKey)
            continue;
        allowed << route.method;
        if (request.method == route.method) {
            m_backend->newRequest(*camera);
            return (this->*route.action)(*camera, request);
        }
    }
    return allowed.isEmpty() ? error(404, QStringLiteral("no such path")) : notAllowed(allowed);
}

ControlApiHandler::Reply ControlApiHandler::notAllowed(const QList<QByteArray> &methods)
{
    Reply reply = error(405, QStringLiteral("method not allowed"));
    reply.headers << qMakePair(QByteArray("Allow"), methods.join(", "));
    return reply;
}

void ControlApiHandler::announce(const QString &event, const Camera &camera, QJsonObject members)
{
    if (!m_events)
        return;
    members.insert(QStringLiteral("event"), event);
    members.insert(QStringLiteral("serial"), camera.entry.serial);
    m_events(members);
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
    const QString fresh = request.query.value(QStringLiteral("fresh"));
    if (fresh.isEmpty() || fresh == QLatin1String("0")) {
        if (const std::optional<int> shown = m_backend->shownValue(camera, key))
            return Reply{200, QJsonObject{{QStringLiteral("key"), key}, {QStringLiteral("value"), *shown}}};
    }
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
    const std::optional<QJsonObject> body =
        members(request, {QStringLiteral("key")}, &failure, {QStringLiteral("value"), QStringLiteral("delta")});
    if (!body)
        return failure;
    const bool byDelta = body->contains(QStringLiteral("delta"));
    if (!byDelta && !body->contains(QStringLiteral("value")))
        return error(400, QStringLiteral("missing member: value (or delta)"));
    if (byDelta && body->contains(QStringLiteral("value")))
        return error(400, QStringLiteral("give either value or delta, not both"));
    const QString key = body->value(QStringLiteral("key")).toString();
    const std::optional<ControlApiBackend::Param> param = m_backend->param(camera, key);
    if (!param)
        return error(400, QStringLiteral("unknown parameter: %1").arg(body->value(QStringLiteral("key")).toVariant().toString()));
    QJsonValue wanted = body->value(QStringLiteral("value"));
    if (byDelta) {
        const std::optional<int> delta = integral(body->value(QStringLiteral("delta")));
        if (!delta)
            return error(400, QStringLiteral("delta must be an integer"));
        if (param->values.isEmpty())
            return error(400, ParamValueCheck::outOfRange(key, param->values, 0));
        std::optional<int> current = m_backend->shownValue(camera, key);
        if (!current) {
            QJsonObject reported;
            if (const QString failed = readReported(camera, &reported); !failed.isEmpty())
                return error(502, failed);
            const QJsonValue now =
                reported.value(param->setting ? QStringLiteral("Setting") : QStringLiteral("VideoParam")).toObject().value(key);
            current = integral(now);
            if (!current)
                return error(502, QStringLiteral("camera %1 did not report %2").arg(camera.entry.serial, key));
        }
        const QList<int> allowed(param->values.cbegin(), param->values.cend());
        const auto [low, high] = std::minmax_element(allowed.cbegin(), allowed.cend());
        const qint64 target = std::clamp<qint64>(qint64(*current) + *delta, *low, *high);
        wanted = nearestAllowed(param->values, target);
    }
    QString refusal;
    const std::optional<int> value = ParamValueCheck::check(key, param->values, wanted, &refusal);
    if (!value)
        return error(400, refusal);
    Reply reply = param->setting ? send(camera, CmdJson, CommandTexts::setSetting(key, *value))
                                 : send(camera, CmdSetVideoParam, CommandTexts::setVideoParam(key, *value));
    if (reply.status == 200) {
        m_backend->valueSent(camera, key, *value);
        reply.body.insert(QStringLiteral("value"), *value);
        announce(QStringLiteral("parameter"), camera, {{QStringLiteral("key"), key}, {QStringLiteral("value"), *value}});
    }
    return reply;
}

ControlApiHandler::Reply ControlApiHandler::ptz(const Camera &camera, const Request &request)
{
    Reply failure;
    const std::optional<QJsonObject> body =
        members(request, {QStringLiteral("command")}, &failure,
                {QStringLiteral("speed"), QStringLiteral("durationMs"), QStringLiteral("raw")});
    if (!body)
        return failure;
    const QString command = body->value(QStringLiteral("command")).toString();
    if (!RemoteCommandWords::ptzCommands().contains(command))
        return error(400, QStringLiteral("command must be one of %1").arg(RemoteCommandWords::ptzCommands().join(", ")));
    if (body->contains(QStringLiteral("raw")) && !body->value(QStringLiteral("raw")).isBool())
        return error(400, QStringLiteral("raw must be true or false"));
    if (body->contains(QStringLiteral("speed"))) {
        const std::optional<int> speed = integral(body->value(QStringLiteral("speed")));
        if (!speed || *speed < kMinSpeed || *speed > kMaxSpeed)
            return error(400, QStringLiteral("speed must be an integer from %1 to %2").arg(kMinSpeed).arg(kMaxSpeed));
    }
    const bool stop = RemoteCommandWords::isStopCommand(command);
    const bool moves = !stop && command != QLatin1String("Gohome");
    std::optional<int> duration;
    if (body->contains(QStringLiteral("durationMs"))) {
        duration = integral(body->value(QStringLiteral("durationMs")));
        if (!moves || !duration || *duration < 1 || *duration > kMaxDurationMs)
            return error(400, moves ? QStringLiteral("durationMs must be an integer from 1 to %1").arg(kMaxDurationMs)
                                    : QStringLiteral("durationMs goes with a move"));
    }
    const QString word = body->value(QStringLiteral("raw")).toBool()
                             ? command
                             : RemoteCommandWords::cameraPtzWord(command, camera.entry.productModel);
    ++m_moveGeneration[camera.entry.serial]; // a newer command replaces a pending timed stop
    Reply reply = send(camera, CmdJson, CommandTexts::ptzCtrl(word));
    if (reply.status != 200)
        return reply;
    reply.body.insert(QStringLiteral("sent"), word);
    if (body->contains(QStringLiteral("speed")))
        reply.body.insert(QStringLiteral("speedApplied"), false); // the cameras move at their own speed
    if (duration)
        scheduleStop(camera, stopOf(word), *duration);
    return reply;
}

void ControlApiHandler::scheduleStop(const Camera &camera, const QString &stopWord, int ms)
{
    const QString serial = camera.entry.serial;
    const quint64 generation = m_moveGeneration.value(serial);
    QTimer::singleShot(ms, &m_timers, [this, serial, generation, stopWord] { sendScheduledStop(serial, generation, stopWord, 0); });
}

// A timed stop waits for the panel like any request (at most 30 s, then it is sent
// through whatever state the panel is in: a camera must not keep moving).
void ControlApiHandler::sendScheduledStop(const QString &serial, quint64 generation, const QString &stopWord, int tries)
{
    if (m_moveGeneration.value(serial) != generation)
        return;
    const int maxTries = 30000 / kStopRetryMs;
    if (m_backend->availability() != ControlApiBackend::Availability::Ready && tries < maxTries) {
        QTimer::singleShot(kStopRetryMs, &m_timers,
                           [this, serial, generation, stopWord, tries] { sendScheduledStop(serial, generation, stopWord, tries + 1); });
        return;
    }
    for (const Camera &camera : m_backend->cameras()) {
        if (camera.entry.serial == serial) {
            ++m_moveGeneration[serial];
            send(camera, CmdJson, CommandTexts::ptzCtrl(stopWord));
            return;
        }
    }
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
    const Reply reply = send(camera, CmdJson, CommandTexts::presetCtrl(command, *id));
    if (reply.status == 200)
        announce(QStringLiteral("preset"), camera,
                 {{QStringLiteral("action"), body->value(QStringLiteral("action"))}, {QStringLiteral("preset"), *id}});
    return reply;
}

ControlApiHandler::Reply ControlApiHandler::listPresets(const Camera &camera, const Request &)
{
    QJsonArray presets;
    const QMap<int, QString> names = m_backend->presetNames(camera);
    for (auto it = names.cbegin(); it != names.cend(); ++it)
        presets.append(QJsonObject{{QStringLiteral("preset"), it.key()}, {QStringLiteral("name"), it.value()}});
    return Reply{200, QJsonObject{{QStringLiteral("presets"), presets}}};
}

ControlApiHandler::Reply ControlApiHandler::select(const Camera &camera, const Request &request)
{
    Reply failure;
    if (!members(request, {}, &failure))
        return failure;
    if (!m_backend->select(camera))
        return error(502, QStringLiteral("camera %1 could not be activated").arg(camera.entry.serial));
    return Reply{200, ok()}; // the panel announces the selection
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
    // Every value is checked as a single one would be, before anything is sent; values
    // the camera reports now pass as they are.
    QJsonObject reported;
    if (const QString failed = readReported(camera, &reported); !failed.isEmpty())
        return error(502, failed);
    const QString refused = CameraRecordIo::checkValues(
        record,
        [&](const QString &key) -> std::optional<QSet<int>> {
            const std::optional<ControlApiBackend::Param> param = m_backend->param(camera, key);
            return param ? std::optional<QSet<int>>(param->values) : std::nullopt;
        },
        reported);
    if (!refused.isEmpty())
        return error(400, QStringLiteral("the profile is refused: %1").arg(refused));
    const QString written = CameraRecordIo::write(recordExchange(camera), record);
    m_backend->recordWritten(camera);
    if (written.isEmpty())
        announce(QStringLiteral("profile"), camera);
    return written.isEmpty() ? Reply{200, ok()} : error(502, written);
}

#include "osc_command_translator.h"

#include "remote_command_words.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace {
struct PtzWord {
    const char *osc;
    const char *api;
    const char *stop; // the stop of a move; none for a stop and home
};
constexpr PtzWord kPtzWords[] = {
    {"left", "Left", "Stop"},          {"right", "Right", "Stop"},         {"up", "Up", "Stop"},
    {"down", "Down", "Stop"},          {"stop", "Stop", nullptr},          {"home", "Gohome", nullptr},
    {"zoomin", "ZoomTele", "ZoomStop"}, {"zoomout", "ZoomWide", "ZoomStop"}, {"zoomstop", "ZoomStop", nullptr},
    {"focusnear", "FocusNear", "FocusStop"}, {"focusfar", "FocusFar", "FocusStop"}, {"focusstop", "FocusStop", nullptr},
};

std::optional<QString> cameraSegment(const QString &segment, const QList<ControlApiBackend::Camera> &cameras)
{
    const QString decoded = QUrl::fromPercentEncoding(segment.toUtf8());
    if (decoded == QLatin1String("active"))
        return decoded;
    for (const ControlApiBackend::Camera &camera : cameras)
        if (camera.entry.serial == decoded)
            return decoded;
    bool number = false;
    const int index = decoded.toInt(&number);
    if (number)
        for (const ControlApiBackend::Camera &camera : cameras)
            if (camera.index == index)
                return camera.entry.serial;
    return std::nullopt;
}

bool isZero(const QJsonValue &value)
{
    return (value.isDouble() && value.toDouble() == 0.0) || (value.isBool() && !value.toBool());
}
} // namespace

std::optional<OscCommandTranslator::Request> OscCommandTranslator::translate(
    const QString &address, const QList<QJsonValue> &arguments, const QList<ControlApiBackend::Camera> &cameras,
    int moveLimitMs, QString *error)
{
    const QStringList parts = address.split(QLatin1Char('/'));
    // "", "kestrane", camera, verb, ...
    if (parts.size() < 4 || !parts[0].isEmpty() || parts[1] != QLatin1String("kestrane")) {
        *error = QStringLiteral("no such address; they begin /kestrane/<camera>/");
        return std::nullopt;
    }
    const std::optional<QString> serial = cameraSegment(parts[2], cameras);
    if (!serial) {
        *error = QStringLiteral("no camera %1 (a serial, an index or active)").arg(parts[2]);
        return std::nullopt;
    }
    Request request;
    request.method = "POST";
    request.path = QStringList{QStringLiteral("api"), QStringLiteral("v1"), QStringLiteral("cameras"), *serial};
    const QString verb = parts[3];
    const auto arity = [&](int wanted) {
        if (arguments.size() == wanted && parts.size() == (verb == QLatin1String("select") ? 4 : 5))
            return true;
        *error = QStringLiteral("%1 takes %2 argument(s)").arg(verb).arg(wanted);
        return false;
    };
    QJsonObject body;
    if (verb == QLatin1String("select")) {
        if (!arity(0))
            return std::nullopt;
        request.path << verb;
    } else if (verb == QLatin1String("ptz")) {
        const PtzWord *word = nullptr;
        for (const PtzWord &w : kPtzWords)
            if (parts.value(4) == QLatin1String(w.osc))
                word = &w;
        if (!word || parts.size() != 5 || arguments.size() > 1) {
            *error = QStringLiteral("ptz takes one of left, right, up, down, stop, home, zoomin, zoomout, zoomstop, "
                                    "focusnear, focusfar, focusstop and at most a speed");
            return std::nullopt;
        }
        const bool released = !arguments.isEmpty() && isZero(arguments[0]);
        if (released && !word->stop) { // a stop's or home's button let go: nothing to do
            error->clear();
            return std::nullopt;
        }
        request.path << verb;
        body.insert(QStringLiteral("command"), QLatin1String(released ? word->stop : word->api));
        if (word->stop && !released) {
            if (!arguments.isEmpty())
                body.insert(QStringLiteral("speed"), arguments[0]);
            body.insert(QStringLiteral("durationMs"), moveLimitMs);
        } else if (!released && !arguments.isEmpty()) {
            body.insert(QStringLiteral("speed"), arguments[0]); // the API says whether it takes one
        }
    } else if (verb == QLatin1String("preset")) {
        if (!arity(1))
            return std::nullopt;
        request.path << verb;
        body.insert(QStringLiteral("action"), parts[4]);
        body.insert(QStringLiteral("preset"), arguments[0]);
    } else if (verb == QLatin1String("param")) {
        const bool delta = parts.size() == 6 && parts[5] == QLatin1String("delta");
        if (parts.size() < 5 || parts.size() > 6 || (parts.size() == 6 && !delta) || arguments.size() != 1) {
            *error = QStringLiteral("param takes /param/<key> value or /param/<key>/delta d");
            return std::nullopt;
        }
        request.path << QStringLiteral("params");
        body.insert(QStringLiteral("key"), parts[4]);
        body.insert(delta ? QStringLiteral("delta") : QStringLiteral("value"), arguments[0]);
    } else {
        *error = QStringLiteral("no such verb %1 (ptz, preset, param, select)").arg(verb);
        return std::nullopt;
    }
    if (!body.isEmpty())
        request.body = QJsonDocument(body).toJson(QJsonDocument::Compact);
    return request;
}

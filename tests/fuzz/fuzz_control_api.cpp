// The control API's requests, whatever their method, path and body, against two listed
// cameras whose replies are any bytes: an answer always comes with a known status, an
// error answer says why, and a refused request (4xx) sends nothing to any camera.
#include "control_api_handler.h"
#include "fuzz_environment.h"
#include "fuzz_input.h"
#include "fuzz_target.h"

#include <QJsonValue>

namespace {
class FuzzBackend : public ControlApiBackend {
public:
    QByteArray reply;
    bool silent = false;
    int exchanges = 0;
    int changes = 0;

    Availability availability() const override { return Availability::Ready; }
    QList<Camera> cameras() const override
    {
        QList<Camera> list;
        for (int i = 0; i < 2; ++i) {
            Camera camera;
            camera.index = i;
            camera.entry.deviceName = QStringLiteral("Cam%1").arg(i);
            camera.entry.serial = QStringLiteral("SN00%1").arg(i + 1);
            camera.entry.productModel = i == 0 ? QStringLiteral("RV-K310A-WU") : QStringLiteral("RV-T782-KB");
            camera.entry.present = true;
            camera.active = i == 0;
            list << camera;
        }
        return list;
    }
    std::optional<Param> param(const Camera &, const QString &key) override
    {
        if (key == QLatin1String("Luminance"))
            return Param{false, {0, 25, 50, 75, 100}};
        if (key == QLatin1String("language"))
            return Param{true, {0, 1}};
        return std::nullopt;
    }
    void newRequest(const Camera &) override {}
    std::optional<QByteArray> exchange(int, quint32, const QByteArray &) override
    {
        ++exchanges;
        if (silent)
            return std::nullopt;
        return reply;
    }
    bool select(const Camera &) override
    {
        ++changes;
        return true;
    }
    void valueSent(const Camera &, const QString &, int) override { ++changes; }
    void recordWritten(const Camera &) override { ++changes; }
};

const QByteArray kMethods[] = {"GET", "POST", "PUT", "DELETE"};
} // namespace

KESTRANE_FUZZ_TARGET(control_api)
{
    FuzzEnvironment::ensure();
    FuzzInput input(data, size);
    FuzzBackend backend;
    const quint8 choice = input.byte();
    ControlApiHandler::Request request;
    request.method = kMethods[choice % 4];
    backend.silent = (choice & 0x80) != 0;
    const QByteArray path = input.chunk();
    for (const QByteArray &segment : path.split('/'))
        if (!segment.isEmpty())
            request.path << QString::fromUtf8(segment);
    request.body = input.chunk();
    backend.reply = input.rest();

    ControlApiHandler handler(&backend);
    const std::optional<ControlApiHandler::Reply> early = ControlApiHandler::immediate(request);
    const ControlApiHandler::Reply answer = early ? *early : handler.handle(request);
    FUZZ_CHECK(answer.status == 200 || answer.status == 400 || answer.status == 404 || answer.status == 405 ||
               answer.status == 413 || answer.status == 502);
    if (answer.status >= 400)
        FUZZ_CHECK(answer.body.value(QStringLiteral("error")).isString());
    if (answer.status >= 400 && answer.status < 500)
        FUZZ_CHECK(backend.exchanges == 0 && backend.changes == 0);
    return 0;
}

#include "visca_command_translator.h"

#include "build_config.h"
#include "device_models.h"
#include "remote_command_words.h"
#include "visca_frame.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QVersionNumber>

#include <algorithm>

namespace {
constexpr quint8 kPanTop = 0x18;
constexpr quint8 kTiltTop = 0x17;
constexpr quint8 kLensTop = 0x07;
constexpr int kMaxPreset = RemoteCommandWords::kMaxPresetId;
const QString kFocusModeKey = QStringLiteral("ucFocusMode");

quint8 at(const QByteArray &m, int i)
{
    return quint8(m[i]);
}

bool is(const QByteArray &m, std::initializer_list<quint8> head)
{
    if (m.size() < int(head.size()) + 1)
        return false;
    int i = 1;
    for (quint8 b : head)
        if (at(m, i++) != b)
            return false;
    return true;
}

ControlApiHandler::Request apiRequest(const QByteArray &method, const QString &serial, const QStringList &rest,
                                      const QJsonObject &body = QJsonObject())
{
    ControlApiHandler::Request request;
    request.method = method;
    request.path = QStringList{QStringLiteral("api"), QStringLiteral("v1"), QStringLiteral("cameras"), serial} + rest;
    if (!body.isEmpty())
        request.body = QJsonDocument(body).toJson(QJsonDocument::Compact);
    return request;
}

quint8 head(quint8 address)
{
    return quint8((address + 8) << 4);
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

// A byte of an answer's data: FF would end the message.
char dataByte(int value)
{
    return char(std::min(value & 0xFF, 0xFE));
}
} // namespace

ViscaCommandTranslator::ViscaCommandTranslator(int moveLimitMs)
    : m_moveLimitMs(std::clamp(moveLimitMs, 1, ControlApiHandler::kMaxDurationMs))
{
}

QByteArray ViscaCommandTranslator::acknowledge(quint8 address)
{
    return bytes({head(address), 0x41, 0xFF});
}

QByteArray ViscaCommandTranslator::completion(quint8 address, bool command, const QByteArray &data)
{
    return bytes({head(address), command ? 0x51 : 0x50}) + data + ViscaFrame::kTerminator;
}

QByteArray ViscaCommandTranslator::syntaxError(quint8 address)
{
    return bytes({head(address), 0x60, 0x02, 0xFF});
}

QByteArray ViscaCommandTranslator::bufferFull(quint8 address)
{
    return bytes({head(address), 0x60, 0x03, 0xFF});
}

QByteArray ViscaCommandTranslator::notExecutable(quint8 address, bool command)
{
    return bytes({head(address), command ? 0x61 : 0x60, 0x41, 0xFF});
}

int ViscaCommandTranslator::apiSpeed(int viscaSpeed, int low, int top)
{
    const int span = ControlApiHandler::kMaxSpeed - ControlApiHandler::kMinSpeed;
    const int steps = top - low;
    return ControlApiHandler::kMinSpeed + ((viscaSpeed - low) * span + steps / 2) / steps;
}

ViscaCommandTranslator::Translation ViscaCommandTranslator::translate(const QByteArray &m, const QString &serial,
                                                                      const QString &productModel) const
{
    Translation t;
    if (!ViscaFrame::isMessage(m)) {
        t.immediate = syntaxError(1);
        return t;
    }
    const quint8 address = at(m, 0) & 0x0F;
    if (address > 8) { // cameras are 1 to 7
        t.immediate = syntaxError(1);
        return t;
    }
    if (address == 8) { // to every camera on a serial chain: the ones a controller sends first
        if (m == QByteArray::fromHex("88010001FF"))
            t.immediate = m; // IF_Clear
        else if (m == QByteArray::fromHex("883001FF"))
            t.immediate = QByteArray::fromHex("883002FF"); // address set: this is camera 1
        else
            t.immediate = syntaxError(1);
        return t;
    }
    t.address = address == 0 ? 1 : address;
    const quint8 category = at(m, 1);
    if ((category & 0xF0) == 0x20 && m.size() == 3) { // cancel: nothing waits long enough to be cancelled
        t.immediate = bytes({head(t.address), 0x60 | (category & 0x0F), 0x05, 0xFF});
        return t;
    }
    if (category == 0x09)
        return inquiry(m, t, serial);
    if (category != 0x01) {
        t.immediate = syntaxError(t.address);
        return t;
    }
    t.command = true;
    if (is(m, {0x01, 0x06}))
        return driveCommand(m, t, serial);
    if (is(m, {0x01, 0x04}))
        return lensCommand(m, t, serial, productModel);
    if (is(m, {0x01, 0x00, 0x01}) && m.size() == 5) { // IF_Clear
        t.immediate = completion(t.address, false);
        return t;
    }
    t.immediate = notExecutable(t.address, true);
    return t;
}

ViscaCommandTranslator::Translation ViscaCommandTranslator::move(Translation t, const QString &serial,
                                                                 const QString &command, std::optional<int> speed) const
{
    QJsonObject body{{QStringLiteral("command"), command}};
    if (speed)
        body.insert(QStringLiteral("speed"), *speed);
    if (!RemoteCommandWords::isStopCommand(command) && command != QLatin1String("Gohome"))
        body.insert(QStringLiteral("durationMs"), m_moveLimitMs);
    t.request = apiRequest("POST", serial, {QStringLiteral("ptz")}, body);
    return t;
}

ViscaCommandTranslator::Translation ViscaCommandTranslator::driveCommand(const QByteArray &m, Translation t,
                                                                         const QString &serial) const
{
    if (is(m, {0x01, 0x06, 0x04}) && m.size() == 5)
        return move(t, serial, QStringLiteral("Gohome"), std::nullopt);
    if (!is(m, {0x01, 0x06, 0x01})) {
        t.immediate = notExecutable(t.address, true); // absolute and relative positions: unknown to the tool
        return t;
    }
    if (m.size() != 9) {
        t.immediate = syntaxError(t.address);
        return t;
    }
    const int pan = at(m, 4), tilt = at(m, 5), x = at(m, 6), y = at(m, 7);
    if (pan < 1 || pan > kPanTop || tilt < 1 || tilt > kTiltTop || x < 1 || x > 3 || y < 1 || y > 3) {
        t.immediate = syntaxError(t.address);
        return t;
    }
    if (x == 3 && y == 3)
        return move(t, serial, QStringLiteral("Stop"), std::nullopt);
    // A diagonal keeps its dominant axis.
    const bool panning = x != 3 && (y == 3 || pan * kTiltTop >= tilt * kPanTop);
    if (panning)
        return move(t, serial, x == 1 ? QStringLiteral("Left") : QStringLiteral("Right"), apiSpeed(pan, 1, kPanTop));
    return move(t, serial, y == 1 ? QStringLiteral("Up") : QStringLiteral("Down"), apiSpeed(tilt, 1, kTiltTop));
}

ViscaCommandTranslator::Translation ViscaCommandTranslator::lensCommand(const QByteArray &m, Translation t,
                                                                        const QString &serial,
                                                                        const QString &productModel) const
{
    const quint8 what = at(m, 3);
    const int size = int(m.size());
    if (what == 0x07 || what == 0x08) { // zoom, focus: stop, standard, variable speed
        if (size != 6) {
            t.immediate = syntaxError(t.address);
            return t;
        }
        const bool zoom = what == 0x07;
        const quint8 how = at(m, 4);
        const int kind = how >= 0x20 ? how >> 4 : how;
        std::optional<int> speed;
        if (how >= 0x20) {
            if ((how & 0x0F) > kLensTop || kind > 3) {
                t.immediate = syntaxError(t.address);
                return t;
            }
            speed = apiSpeed(how & 0x0F, 0, kLensTop);
        }
        switch (kind) {
        case 0x00:
            return move(t, serial, zoom ? QStringLiteral("ZoomStop") : QStringLiteral("FocusStop"), std::nullopt);
        case 0x02:
            return move(t, serial, zoom ? QStringLiteral("ZoomTele") : QStringLiteral("FocusFar"), speed);
        case 0x03:
            return move(t, serial, zoom ? QStringLiteral("ZoomWide") : QStringLiteral("FocusNear"), speed);
        default:
            t.immediate = syntaxError(t.address);
            return t;
        }
    }
    if (what == 0x38 && size == 6) { // focus mode: auto, manual
        const quint8 mode = at(m, 4);
        if (mode != 0x02 && mode != 0x03) {
            t.immediate = notExecutable(t.address, true);
            return t;
        }
        const int automatic = panelKindForModel(productModel) == PanelKind::T782 ? 1 : 3;
        t.request = apiRequest("POST", serial, {QStringLiteral("params")},
                               {{QStringLiteral("key"), kFocusModeKey},
                                {QStringLiteral("value"), mode == 0x02 ? automatic : 0}});
        return t;
    }
    if (what == 0x3F && size == 7) { // memory: reset, set, recall
        static const char *const actions[] = {"delete", "set", "call"};
        const quint8 action = at(m, 4);
        const int preset = at(m, 5) + 1;
        if (action > 2 || preset > kMaxPreset) {
            t.immediate = syntaxError(t.address);
            return t;
        }
        t.request = apiRequest("POST", serial, {QStringLiteral("preset")},
                               {{QStringLiteral("action"), QLatin1String(actions[action])},
                                {QStringLiteral("preset"), preset}});
        return t;
    }
    if (what == 0x00 && size == 6 && (at(m, 4) == 0x02 || at(m, 4) == 0x03)) { // power: on is all the tool knows
        if (at(m, 4) == 0x02)
            t.request = apiRequest("GET", serial, {});
        else
            t.immediate = notExecutable(t.address, true);
        return t;
    }
    t.immediate = notExecutable(t.address, true);
    return t;
}

ViscaCommandTranslator::Translation ViscaCommandTranslator::inquiry(const QByteArray &m, Translation t,
                                                                    const QString &serial) const
{
    if (m.size() == 5 && is(m, {0x09, 0x04, 0x00})) {
        t.request = apiRequest("GET", serial, {});
        t.answer = Answer::Power;
    } else if (m.size() == 5 && is(m, {0x09, 0x00, 0x02})) {
        t.request = apiRequest("GET", serial, {});
        t.answer = Answer::Version;
    } else if (m.size() == 5 && is(m, {0x09, 0x04, 0x38})) {
        t.request = apiRequest("GET", serial, {QStringLiteral("params"), kFocusModeKey});
        t.answer = Answer::FocusMode;
    } else {
        t.immediate = notExecutable(t.address, false); // positions and the rest: unknown to the tool
    }
    return t;
}

QByteArray ViscaCommandTranslator::answer(const Translation &t, const Reply &reply)
{
    if (reply.status != 200)
        return notExecutable(t.address, t.command);
    switch (t.answer) {
    case Answer::Completion:
        return completion(t.address, true);
    case Answer::Power:
        return completion(t.address, false, QByteArray(1, char(0x02)));
    case Answer::FocusMode:
        return completion(t.address, false, QByteArray(1, char(reply.body.value(QStringLiteral("value")).toInt() == 0 ? 0x03 : 0x02)));
    case Answer::Version: {
        // Vendor: the cameras' USB vendor id; model: none; ROM: the tool's version; two sockets.
        const quint16 vendor = cameraVendorId();
        const QVersionNumber version = QVersionNumber::fromString(QStringLiteral(KESTRANE_VERSION));
        QByteArray data;
        data += dataByte(vendor >> 8);
        data += dataByte(vendor);
        data += QByteArray(2, char(0));
        data += dataByte(version.majorVersion());
        data += dataByte(version.minorVersion());
        data += char(0x02);
        return completion(t.address, false, data);
    }
    }
    return notExecutable(t.address, t.command);
}

#pragma once

#include "control_api_handler.h"

#include <QByteArray>
#include <QString>

#include <optional>

// VISCA messages in the control API's terms: each command a controller sends becomes
// the request the API takes for it (the same checks, the same direction mapping, the
// same send path), and the request's answer becomes VISCA's completion or error.
// What the tool cannot do through a camera is "not executable"; what is no VISCA
// message at all is a syntax error.
//
// Pan and tilt drive (8x 01 06 01 VV WW XX YY FF) goes through the API's PTZ words;
// a diagonal moves along the dominant axis (the larger speed, measured against each
// axis's top speed; pan on a tie). VISCA's speeds (pan 01-18h, tilt 01-17h, zoom and
// focus 0-7) are spread over the API's 1-9. Every move stops by itself after the
// move limit, since a lost stop datagram must not leave a camera turning. VISCA
// preset pp (00-FEh) is the camera's preset pp + 1.
class ViscaCommandTranslator {
public:
    using Request = ControlApiHandler::Request;
    using Reply = ControlApiHandler::Reply;

    // How a request's answer turns into VISCA.
    enum class Answer { Completion, Power, FocusMode, Version };
    struct Translation {
        // The whole answer, given at once: no request.
        QByteArray immediate;
        std::optional<Request> request;
        Answer answer = Answer::Completion;
        quint8 address = 1;
        // A command: acknowledged before its request is carried out.
        bool command = false;
    };

    explicit ViscaCommandTranslator(int moveLimitMs = ControlApiHandler::kRemoteMoveLimitMs);
    int moveLimitMs() const { return m_moveLimitMs; }

    // `productModel` decides the camera's own codes (its focus modes).
    Translation translate(const QByteArray &message, const QString &serial, const QString &productModel) const;
    // The VISCA answer to a translation's request.
    static QByteArray answer(const Translation &translation, const Reply &reply);

    static QByteArray acknowledge(quint8 address);
    // y0 51 FF for a command (socket 1); y0 50 data FF for an inquiry.
    static QByteArray completion(quint8 address, bool command, const QByteArray &data = QByteArray());
    static QByteArray syntaxError(quint8 address);
    static QByteArray bufferFull(quint8 address);
    // Socket 1 for a command, 0 for an inquiry.
    static QByteArray notExecutable(quint8 address, bool command);

    // 1-9 from VISCA's 1-`top` (or 0-7 when `top` is 7 and zero counts).
    static int apiSpeed(int viscaSpeed, int low, int top);

private:
    Translation driveCommand(const QByteArray &m, Translation t, const QString &serial) const;
    Translation lensCommand(const QByteArray &m, Translation t, const QString &serial, const QString &productModel) const;
    Translation inquiry(const QByteArray &m, Translation t, const QString &serial) const;
    Translation move(Translation t, const QString &serial, const QString &command, std::optional<int> speed) const;

    int m_moveLimitMs;
};

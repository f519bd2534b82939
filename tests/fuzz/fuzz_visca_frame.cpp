// Any datagram or TCP stream a VISCA controller may send: the header is read within
// the datagram, a stream never buffers more than one message, and whatever the
// translator answers is a well-formed VISCA answer.
#include "fuzz_input.h"
#include "fuzz_target.h"
#include "visca_command_translator.h"
#include "visca_frame.h"

namespace {
// A camera's answer: 3 to 16 bytes from the camera's address (y0, or 88 for an
// answer to all), ended by its only FF.
bool isAnswer(const QByteArray &bytes)
{
    return bytes.size() >= ViscaFrame::kMinMessage && bytes.size() <= ViscaFrame::kMaxMessage &&
           (quint8(bytes[0]) & 0x80) && bytes.indexOf(ViscaFrame::kTerminator) == bytes.size() - 1;
}
} // namespace

KESTRANE_FUZZ_TARGET(visca_frame)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ViscaFrame::Datagram d = ViscaFrame::parseDatagram(bytes);
    FUZZ_CHECK(d.payload.size() <= ViscaFrame::kMaxMessage);
    if (d.status == ViscaFrame::Status::Ok) {
        FUZZ_CHECK(ViscaFrame::datagram(d.type, d.sequence, d.payload) == bytes);
        if (d.type != ViscaFrame::Control)
            FUZZ_CHECK(ViscaFrame::isMessage(d.payload));
    }

    static const ViscaCommandTranslator translator;
    const auto check = [](const QByteArray &message) {
        const ViscaCommandTranslator::Translation t = translator.translate(message, QStringLiteral("SN1"),
                                                                          QStringLiteral("RV-K310A-WU"));
        FUZZ_CHECK(t.request.has_value() != !t.immediate.isEmpty());
        if (t.request) {
            FUZZ_CHECK(isAnswer(ViscaCommandTranslator::answer(t, {200, {}})));
            FUZZ_CHECK(isAnswer(ViscaCommandTranslator::answer(t, {503, {}})));
        } else {
            FUZZ_CHECK(isAnswer(t.immediate));
        }
    };
    check(bytes.left(ViscaFrame::kMaxMessage));

    // The same bytes as a stream, in the pieces the input gives.
    FuzzInput input(data, size);
    QByteArray buffer;
    int messages = 0;
    while (!input.atEnd()) {
        buffer += input.chunk();
        bool overflow = false;
        while (std::optional<QByteArray> message = ViscaFrame::takeMessage(buffer, &overflow)) {
            FUZZ_CHECK(message->size() <= ViscaFrame::kMaxMessage && message->endsWith(ViscaFrame::kTerminator));
            if (++messages < 64)
                check(*message);
        }
        FUZZ_CHECK(buffer.size() <= ViscaFrame::kMaxMessage);
    }
    return 0;
}

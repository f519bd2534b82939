// The control panel's reply router on any report: raw bytes, or any payload framed as
// a reply packet, for the active camera or another, during a refresh or not.
#include "fuzz_environment.h"
#include "fuzz_input.h"
#include "fuzz_target.h"
#include "packet_cmd.h"
#include "packet_codec.h"
#include "reply_router.h"

KESTRANE_FUZZ_TARGET(reply_router)
{
    FuzzEnvironment::ensure();
    FuzzInput input(data, size);
    const quint8 mode = input.byte();
    int current = (mode >> 4) & 1;
    ReplyRouter::State state;
    state.currentIndex = &current;
    state.deviceInfoQuery = mode & 0x01;
    state.quietProbe = mode & 0x02;
    ReplyRouter router(&state);
    int signals_ = 0;
    const auto count = [&signals_] { ++signals_; };
    QObject::connect(&router, &ReplyRouter::deviceIdentified, &router, count);
    QObject::connect(&router, &ReplyRouter::faceIdsReceived, &router, count);
    QObject::connect(&router, &ReplyRouter::faceNamesReceived, &router, count);
    QObject::connect(&router, &ReplyRouter::directionReceived, &router, count);

    const int index = int((mode >> 5) & 3) - 1;
    const QByteArray bytes = input.rest();
    if (mode & 0x04)
        router.route(PacketCodec::buildReply(CmdJson, bytes.left(PacketCodec::kMaxReplyPayload), mode & 0x08), index);
    else
        router.route(bytes, index);
    // Without the magic nothing is routed.
    if (!(mode & 0x04) && !PacketCodec::hasMagic(bytes))
        FUZZ_CHECK(signals_ == 0);
    return 0;
}

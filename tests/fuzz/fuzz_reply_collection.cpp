// Reply collection over any sequence of reads: whole, short, oversized or magic-less
// reports, time-outs and read errors, collected into reply buffers of any size. Every
// report read also passes the control panel's reply router, as in the tool.
#include "device_sender.h"
#include "fuzz_environment.h"
#include "fuzz_input.h"
#include "fuzz_target.h"
#include "hid_manager.h"
#include "packet_cmd.h"
#include "reply_router.h"
#include "scripted_hid_backend.h"

#include <memory>

KESTRANE_FUZZ_TARGET(reply_collection)
{
    FuzzEnvironment::ensure();
    FuzzInput input(data, size);
    const quint8 mode = input.byte();
    static const int capacities[] = {0, 1, 2, 17, 1009, DeviceSender::kReplyBufferSize};
    const int capacity = capacities[mode % 6];
    const bool asData = mode & 0x08;

    ScriptedHidBackend backend;
    while (!input.atEnd()) {
        const QByteArray read = input.chunk();
        if (read.isEmpty())
            backend.reads.push_back({0, {}}); // time-out
        else if (read.size() == 1 && quint8(read[0]) == 0xFF)
            backend.reads.push_back({-1, {}}); // read error
        else
            backend.queueReport(read);
    }
    const size_t scripted = backend.reads.size();
    HidBackend::setActive(&backend);
    {
        HIDManager manager;
        FUZZ_CHECK(manager.openDevice(QStringLiteral("scripted:0")));
        int current = 0;
        ReplyRouter::State state;
        state.currentIndex = &current;
        state.deviceInfoQuery = mode & 0x10;
        state.quietProbe = mode & 0x20;
        ReplyRouter router(&state);
        QObject::connect(&manager, &HIDManager::dataReceived, &router,
                         [&router](const QByteArray &packet, void *) { router.route(packet, 0); });

        DeviceSender sender([&manager](int index) { return index == 0 ? &manager : nullptr; });
        // Exactly the caller's buffer, so that a write past it is caught.
        std::unique_ptr<char[]> reply(capacity > 0 ? new char[size_t(capacity)] : nullptr);
        static const char request[] = R"({"Cmd":"ReqGetDeviceInfo"})";
        if (asData)
            sender.sendDataToDevice(0, CmdJson, request, int(sizeof request - 1), reply.get(), capacity);
        else
            sender.sendCmdToDevice(0, CmdJson, request, int(sizeof request - 1), reply.get(), capacity);
        if (capacity > 0)
            FUZZ_CHECK(std::memchr(reply.get(), 0, size_t(capacity)) != nullptr); // always terminated
        // A camera that never ends its reply is cut off after a bounded number of reads.
        FUZZ_CHECK(backend.readCalls <= DeviceSender::kMaxReplyPackets);
        FUZZ_CHECK(size_t(backend.readCalls) <= scripted + 1);
    }
    HidBackend::setActive(nullptr);
    return 0;
}

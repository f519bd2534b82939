#pragma once

#include "hid_backend.h"

#include <QByteArray>
#include <QList>

#include <cstring>
#include <deque>

// A HID backend for tests that replays scripted reads and records every write.
// One device, path "scripted:0"; a read with nothing scripted times out at once.
class ScriptedHidBackend : public HidBackend {
public:
    struct Read {
        int result = 0;        // > 0: bytes returned, 0: time-out, < 0: error
        QByteArray data;
    };

    QList<HidDeviceInfo> devices{{0x2E7E, 0x0001, "scripted:0"}};
    QList<QByteArray> writes;
    std::deque<Read> reads;
    int initResult = 0;
    int writeResult = -2;  // -2: echo the length written
    int readCalls = 0;
    int lastTimeout = -1;
    int exitCalls = 0;
    bool endless = false;  // every read returns `endlessPacket`
    QByteArray endlessPacket;

    void queueReport(const QByteArray &report) { reads.push_back({int(report.size()), report}); }

    int init() override { return initResult; }
    int exit() override { return ++exitCalls, 0; }
    QList<HidDeviceInfo> enumerate(quint16 vendorId) override
    {
        QList<HidDeviceInfo> out;
        for (const auto &d : devices)
            if (vendorId == 0 || d.vendorId == vendorId)
                out << d;
        return out;
    }
    Handle open(const QByteArray &path) override
    {
        for (const auto &d : devices)
            if (d.path.toUtf8() == path)
                return this;
        return nullptr;
    }
    int setNonBlocking(Handle, int) override { return 0; }
    int write(Handle, const unsigned char *data, size_t length) override
    {
        writes << QByteArray(reinterpret_cast<const char *>(data), int(length));
        return writeResult == -2 ? int(length) : writeResult;
    }
    int readTimeout(Handle, unsigned char *data, size_t length, int timeoutMs) override
    {
        ++readCalls;
        lastTimeout = timeoutMs;
        Read r;
        if (endless) {
            r = {int(endlessPacket.size()), endlessPacket};
        } else {
            if (reads.empty())
                return 0;
            r = reads.front();
            reads.pop_front();
        }
        if (r.result > 0)
            std::memcpy(data, r.data.constData(), qMin(size_t(r.data.size()), length));
        return r.result > 0 ? int(qMin(size_t(r.result), length)) : r.result;
    }
    void close(Handle) override {}
    QString errorText(Handle) override { return QStringLiteral("scripted failure"); }
};

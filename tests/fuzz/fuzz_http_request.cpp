// Any bytes as the control API's connection receives them, read as a request by
// HttpRequestReader with small limits, once whole and once in pieces of any size: both
// readings agree, nothing grows past its limit, a refusal has one of the statuses the
// reader documents, and a request read to its end has the body its framing declared.
#include "fuzz_input.h"
#include "fuzz_target.h"
#include "http_request_reader.h"

namespace {
constexpr qsizetype kHead = 512;
constexpr qsizetype kBody = 1024;

struct Reading {
    HttpRequestReader reader{kHead, kBody};
    qsizetype used = 0;
};

// Feeds `bytes` in pieces of `step`, reading on into the body as the server does.
void read(Reading &r, const QByteArray &bytes, qsizetype step)
{
    while (r.used < bytes.size()) {
        const HttpRequestReader::State before = r.reader.state();
        if (before == HttpRequestReader::State::HeadDone) {
            r.reader.readBody();
            continue;
        }
        const qsizetype n = r.reader.feed(QByteArrayView(bytes).sliced(r.used, qMin(step, bytes.size() - r.used)));
        FUZZ_CHECK(n >= 0 && n <= step);
        r.used += n;
        if (n == 0) {
            // Only a finished reading takes nothing.
            FUZZ_CHECK(r.reader.state() == HttpRequestReader::State::Done ||
                       r.reader.state() == HttpRequestReader::State::Failed);
            break;
        }
    }
}
} // namespace

KESTRANE_FUZZ_TARGET(http_request)
{
    FuzzInput input(data, size);
    const qsizetype step = input.byte() % 64 + 1;
    const QByteArray bytes = input.rest();
    Reading whole, pieces;
    read(whole, bytes, qMax<qsizetype>(1, bytes.size()));
    read(pieces, bytes, step);

    const HttpRequestReader &a = whole.reader;
    const HttpRequestReader &b = pieces.reader;
    FUZZ_CHECK(a.state() == b.state() && a.failureStatus() == b.failureStatus());
    // Where a request ends is where the next one begins.
    FUZZ_CHECK(a.state() == HttpRequestReader::State::Failed || whole.used == pieces.used);
    FUZZ_CHECK(a.head().method == b.head().method && a.head().target == b.head().target &&
               a.head().fields == b.head().fields && a.body() == b.body());
    FUZZ_CHECK(a.body().size() <= kBody && a.head().target.size() <= kHead);
    if (a.state() == HttpRequestReader::State::Failed) {
        const int s = a.failureStatus();
        FUZZ_CHECK(s == 400 || s == 413 || s == 414 || s == 431 || s == 501 || s == 505);
    }
    if (a.state() == HttpRequestReader::State::Done && !a.head().field("Transfer-Encoding")) {
        const QByteArray length = a.head().field("Content-Length").value_or("0");
        FUZZ_CHECK(a.body().size() == length.toLongLong());
    }
    return 0;
}

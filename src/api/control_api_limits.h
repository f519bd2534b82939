#pragma once

#include <QtGlobal>

// How much the control API takes from outside before it refuses, and how long it
// waits. Everything a client sends is bounded by these before it is buffered.
struct ControlApiLimits {
    // The request line and header fields (larger: 414 or 431).
    qsizetype maxHead = 16 * 1024;
    // A request body, declared or chunked (larger: 413).
    qsizetype maxBody = 64 * 1024;
    // From the connection (or the previous answer on it) to the whole request; a
    // request not complete by then is answered 408 and the connection closed.
    int requestTimeoutMs = 10000;
    // How long a connection that is being closed still swallows what the client
    // sends, so that the client reads the answer before the connection ends.
    int lingerMs = 2000;
    // Open connections, event streams included; beyond, new ones are not taken until
    // one ends (they wait in the system's listen queue).
    int maxConnections = 32;
    // Event stream subscribers (beyond: 503).
    int maxSubscribers = 8;
    // Unsent bytes of an event stream whose client does not read; beyond, it is dropped.
    qint64 maxEventBacklog = 256 * 1024;
    // A comment line keeps idle event streams open through proxies and NAT.
    int keepAliveCommentMs = 15000;
    // A request waits this long for a busy control panel, then 503.
    int maxWaitMs = 30000;
    int retryMs = 50;
    // Requests waiting beyond this number are answered 503 at once (stops never).
    int maxWaiting = 64;
    // A peer that sent this many wrong tokens within authWindowMs gets 429 for the
    // next authWindowMs, whatever it sends.
    int maxAuthFailures = 10;
    int authWindowMs = 1000;
};

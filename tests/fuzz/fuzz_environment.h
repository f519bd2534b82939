#pragma once

#include <QString>

// What every fuzz target needs before its first input: an application object, the
// application directory and the log pointed at a private temporary directory, the
// log level raised so that thousands of refusals do not fill a disk, and Qt's own
// messages dropped.
class FuzzEnvironment {
public:
    static void ensure();
    // A private writable directory, alive for the whole process.
    static QString directory();
};

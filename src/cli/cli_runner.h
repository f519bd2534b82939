#pragma once

#include <QStringList>

class QTextStream;

// kestrane-cli: list the cameras, read and change their parameters, drive PTZ and send
// raw commands, from scripts. Every failure ends with one "kestrane-cli: error: ..."
// line on standard error and a non-zero exit code.
class CliRunner {
public:
    static int run(const QStringList &arguments);
    // The same, with the two output streams given (tests).
    static int run(const QStringList &arguments, QTextStream &out, QTextStream &err);
};

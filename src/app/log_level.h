#pragma once

#include <QString>

// Severity of a log record; records below the manager's minimum level are dropped.
enum LogLevel : int {
    DEBUG = 0,
    INFO = 1,
    WARNING = 2,
    CRITICAL = 3,
    FATAL = 4,
};

// The name printed in the level field of a line; empty for values outside the enumeration.
QString logLevelName(int level);

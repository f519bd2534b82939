#pragma once

#include <QtGlobal>

// Which program a process of this machine runs, for trusting what it announced.
class ProcessIdentity {
public:
    // The GUI's executable name, without ".exe".
    static const char *const kGuiName; // "kestrane"

    // True when the process runs and is this tool's GUI: on Linux by its executable
    // (/proc/<pid>/exe, else its command name), on Windows by its image name;
    // elsewhere only that it runs. This very process counts as well (a GUI and a
    // client in one program).
    static bool isKestraneGui(qint64 pid);
};

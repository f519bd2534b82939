#include "process_identity.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QString>

#if defined(Q_OS_WIN)
#include <iterator>
#include <windows.h>
#elif defined(Q_OS_UNIX) && !defined(Q_OS_LINUX)
#include <cerrno>
#include <csignal>
#endif

const char *const ProcessIdentity::kGuiName = "kestrane";

bool ProcessIdentity::isKestraneGui(qint64 pid)
{
    if (pid <= 0)
        return false;
    if (pid == QCoreApplication::applicationPid())
        return true;
#if defined(Q_OS_LINUX)
    const QString proc = QStringLiteral("/proc/%1/").arg(pid);
    QString name = QFile::symLinkTarget(proc + QLatin1String("exe"));
    if (!name.isEmpty()) {
        // An executable replaced while it runs (an update) reads "<path> (deleted)".
        if (name.endsWith(QLatin1String(" (deleted)")))
            name.chop(10);
        name = QFileInfo(name).fileName();
    } else {
        // Another user's process: its command name (the first 15 bytes of the file name).
        QFile comm(proc + QLatin1String("comm"));
        if (!comm.open(QIODevice::ReadOnly))
            return false; // no such process
        name = QString::fromLocal8Bit(comm.read(64)).trimmed();
    }
    return name == QLatin1String(kGuiName);
#elif defined(Q_OS_WIN)
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process)
        return false;
    DWORD exitCode = 0;
    wchar_t path[1024];
    DWORD size = DWORD(std::size(path));
    const bool running = GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
    const bool named = QueryFullProcessImageNameW(process, 0, path, &size);
    CloseHandle(process);
    return running && named &&
           QFileInfo(QString::fromWCharArray(path, int(size))).completeBaseName().compare(
               QLatin1String(kGuiName), Qt::CaseInsensitive) == 0;
#elif defined(Q_OS_UNIX)
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
#else
    return true;
#endif
}

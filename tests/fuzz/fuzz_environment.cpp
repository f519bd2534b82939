#include "fuzz_environment.h"

#include "app_paths.h"
#include "fuzz_target.h"
#include "log_manager.h"

#include <QCoreApplication>
#include <QTemporaryDir>

namespace {
const FuzzTargetRegistration *&head()
{
    static const FuzzTargetRegistration *first = nullptr;
    return first;
}

void dropMessage(QtMsgType, const QMessageLogContext &, const QString &) {}
} // namespace

FuzzTargetRegistration::FuzzTargetRegistration(const char *name_, FuzzEntry entry_)
    : name(name_), entry(entry_), next(head())
{
    head() = this;
}

const FuzzTargetRegistration *FuzzTargetRegistration::first()
{
    return head();
}

QString FuzzEnvironment::directory()
{
    static QTemporaryDir dir;
    return dir.path();
}

void FuzzEnvironment::ensure()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "kestrane-fuzz";
        static char *argv[] = {name, nullptr};
        new QCoreApplication(argc, argv); // lives as long as the process
    }
    AppPaths::setApplicationDirOverride(directory());
    LogManager::setInitialConsoleOutput(false);
    LogManager::instance()->setConsoleOutput(false);
    LogManager::instance()->setLogDirectory(directory());
    LogManager::instance()->setLogLevel(FATAL);
    qInstallMessageHandler(&dropMessage);
}

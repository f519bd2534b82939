#include "cli_runner.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    return CliRunner::run(QCoreApplication::arguments());
}

#include "command_line_options.h"
#include "device_models.h"
#include "log_manager.h"
#include "simulated_camera_bus.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(":/icons/resources/icons/qv_logo.ico"));
    return app.exec();
}

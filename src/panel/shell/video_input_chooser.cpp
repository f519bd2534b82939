#include "video_input_chooser.h"

#include <QDebug>

QString VideoInputChooser::choose(const QList<VideoInput> &inputs, const QString &selectionName,
                                  const QString &previous, int deviceCount)
{
    qDebug() << "==========================================";
    qDebug() << "开始检测摄像头，设备数量:" << deviceCount;
    qDebug() << "Qt检测到" << inputs.size() << "个摄像头设备";
    qDebug() << "==========================================";
    for (int i = 0; i < inputs.size(); ++i)
        qDebug().noquote() << "  [" << i << "] " << inputs[i].description << (inputs[i].isDefault ? "(默认)" : "");
    qDebug() << "selectCameraName:" << selectionName;
    QString chosen = previous;
    for (const VideoInput &input : inputs) {
        qDebug() << "cameraId:" << input.id;
        qDebug() << "cameraName:" << input.description;
        if (input.description == selectionName) {
            chosen = input.id;
            qDebug() << "camera match, will open " << input.id << "right now";
        }
    }
    return chosen;
}

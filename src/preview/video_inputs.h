#pragma once

#include <QList>
#include <QString>

#include <functional>

// One video input of the system, as the preview chooses it.
struct VideoInput {
    QString id;
    QString description;
    bool isDefault = false;
};

// The system's video inputs. Normally Qt Multimedia's list; the simulated cameras
// and the tests provide their own.
class VideoInputs {
public:
    using Provider = std::function<QList<VideoInput>()>;

    static QList<VideoInput> list();
    static void setProvider(Provider provider);

private:
    static Provider &provider();
};

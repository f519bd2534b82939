#pragma once

#include <QObject>
#include <QString>
#include <QVideoFrame>

#include <functional>

// Where the preview's frames come from: one video input at a time, delivered as
// QVideoFrames on the GUI thread. Normally Qt Multimedia's camera stack; the
// simulated cameras and the tests plug in their own.
class VideoFrameSource : public QObject {
    Q_OBJECT
public:
    using Factory = std::function<VideoFrameSource *(QObject *parent)>;

    using QObject::QObject;

    // A new source of the installed kind (Qt Multimedia without a factory).
    static VideoFrameSource *create(QObject *parent);
    static void setFactory(Factory factory);

    // Starts delivering the frames of the input with this id. Whatever was open
    // before must have been closed.
    virtual void open(const QString &deviceId) = 0;
    // Stops and releases the input in use, if any.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Stops delivering without releasing the input (after an error).
    virtual void deactivate() = 0;
    // Selects the first format of the open input with this pixel format and size and
    // at least this frame rate; false when the input offers none.
    virtual bool selectFormat(QVideoFrameFormat::PixelFormat format, const QSize &size, float minFps) = 0;

signals:
    void frameReady(const QVideoFrame &frame);
    void errorOccurred(const QString &text);

private:
    static Factory &factory();
};

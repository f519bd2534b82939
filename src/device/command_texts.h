#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

// Every command text the tool sends, byte for byte. Each text is formatted as if into a
// zeroed 1024-byte buffer: a text that would not fit (1023 characters plus the
// terminator) is refused with a logged error and comes back empty, never cut.
// Names inserted into a text are escaped for JSON.
class CommandTexts {
public:
    static constexpr int kBufferSize = 1024;
    static constexpr int kHsvPoints = 24;
    static constexpr int kPaletteRows = 17;
    static constexpr int kPaletteWords = 324;

    static QByteArray getDeviceDirection();
    static QByteArray getVideoParam();
    static QByteArray getSetting();
    static QByteArray getHsvHueLut();
    static QByteArray getHsvStaLut();

    // One key and its JSON value text (a number, or a quoted text the caller produced).
    static QByteArray setVideoParam(const QString &key, const QString &jsonValue);
    static QByteArray setVideoParam(const QString &key, int value);
    static QByteArray setFocusMode(int mode);
    static QByteArray setSetting(const QString &key, const QString &jsonValue);
    static QByteArray setSetting(const QString &key, int value);

    // 1 image defaults, 255 factory defaults, 35 hue table, 36 saturation table.
    static QByteArray setDefaultParam(int config);
    static QByteArray setHsvHueLut(const QVector<int> &values);
    static QByteArray setHsvStaLut(const QVector<int> &values);

    static QByteArray ptzCtrl(const QString &command);
    static QByteArray presetCtrl(const QString &command, int presetId);

    static QByteArray getFaceIds();
    static QByteArray getFaceNames();
    static QByteArray getEnabledFaceIds();
    static QByteArray setFaceIdName(int id, const QString &name);
    static QByteArray setFaceFocusTrainSelect(int id);
    static QByteArray setFaceFocusTrain(const QString &type, int id); // the preview window's form
    static QByteArray getFaceFocusTrain();
    static QByteArray setEnabledFaceModeId(int id);
    static QByteArray setEnabledPortraitModeId(int id);
    static QByteArray deleteFocusId(int id);
    static QByteArray manualRebootSet();

    // The name command; its payload includes the terminating zero byte.
    static QByteArray deviceName(const QString &name);
    // The longest name a camera takes, in UTF-8 bytes.
    static constexpr int kMaxDeviceNameBytes = 63;
    static QByteArray upgradeRequest(qint64 fileSize);

    // The palette upload: at most 17 rows of at most 324 words each. This text is long
    // and travels as a multi-packet request; it is not bound by the 1024-byte buffer.
    static QByteArray paletteData(const QList<QList<quint32>> &table);

    static QString escapeJson(const QString &text);

private:
    static QByteArray finish(const QString &text);
    static QByteArray hsvTable(const char *cmd, const char *member, const QVector<int> &values);
};

#pragma once

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

// What a camera keeps in its flash besides identity: the video parameters, the
// settings, the two 24-point colour tables and the last palette table. Each
// request handler takes the request's "Content" and returns the reply's "Content"
// (always with "nResult": 0 on success, negative on failure). The ruddy, orange and
// yellow tones and the saturation table's points of their hues are linked: a request
// that changes one sets the other (a point sits as far from its default as its tone
// from neutral).
class SimulatedCameraState {
public:
    static constexpr int kHsvPoints = 24;
    static constexpr int kHueMin = -64;
    static constexpr int kHueMax = 64;
    static constexpr int kSatMin = 0;
    static constexpr int kSatMax = 255;
    static constexpr int kPaletteRows = 17;
    static constexpr int kPaletteWords = 324;

    SimulatedCameraState();

    // Every video parameter key the camera knows, in a stable order.
    static const QStringList &videoParamKeys();
    static int defaultVideoParam(const QString &key);
    static const QVector<int> &defaultHueTable();
    static const QVector<int> &defaultSatTable();
    // The scene codes the camera accepts for "eSceneMode" (per lens: 1, 3, 4, 5 /
    // 6-9 / 10-13).
    static bool isValidSceneMode(int code);

    QJsonObject getVideoParam() const;
    QJsonObject setVideoParam(const QJsonObject &content);
    QJsonObject getSetting() const;
    QJsonObject setSetting(const QJsonObject &content);
    QJsonObject getHueTable() const;
    QJsonObject getSatTable() const;
    QJsonObject setHueTable(const QJsonObject &content);
    QJsonObject setSatTable(const QJsonObject &content);
    QJsonObject setPaletteData(const QJsonObject &content);

    // "eDefaultParamCfg": 1 image, 255 factory, 35 hue table, 36 saturation table.
    // Returns the nResult.
    int resetDefaults(int config);

    int videoParam(const QString &key) const { return m_video.value(key, 0); }
    bool hasVideoParam(const QString &key) const { return m_video.contains(key); }
    void setVideoParamValue(const QString &key, int value);
    int setting(const QString &key) const { return m_settings.value(key, 0); }
    bool hasSetting(const QString &key) const { return m_settings.contains(key); }
    QVector<int> hueTable() const { return m_hue; }
    QVector<int> satTable() const { return m_sat; }
    QList<QList<quint32>> paletteTable() const { return m_palette; }
    int paletteUploads() const { return m_paletteUploads; }

private:
    void resetImage();
    void resetSettings();
    void applyScene(int code);
    static QJsonObject result(int nResult);
    static bool readTable(const QJsonObject &content, const char *member, int min, int max,
                          QVector<int> *out);

    QMap<QString, int> m_video;
    QMap<QString, int> m_settings;
    QVector<int> m_hue;
    QVector<int> m_sat;
    QList<QList<quint32>> m_palette;
    int m_paletteUploads = 0;
};

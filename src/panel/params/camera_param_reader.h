#pragma once

#include "camera_params.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <functional>

// Reads a camera's video parameters and settings into a CameraParams record: the
// two queries, the stop conditions (no or unparsable reply, negative "nResult") and
// the one helper every integer taken from a camera reply goes through.
class CameraParamReader {
public:
    // Sends one query as packet command CmdGetParam and returns the reply text
    // (empty when none came).
    using Exchange = std::function<QByteArray(const QByteArray &request)>;

    // The three debug records written when a reply is not JSON.
    struct ParseErrorTexts {
        const char *error;
        const char *offset;
        const char *data;
    };
    static const ParseErrorTexts kChineseParseTexts; // "JSON解析错误:", "错误位置:", "原始数据:"
    static const ParseErrorTexts kEnglishParseTexts; // "JSON parse error:", "error offset :", "original data:"

    struct KeySlot {
        const char *key;
        int slot;
    };
    // The video keys a refresh reads, in reading order ("u32AIFocus" twice, and
    // "ucCamCorrection" into both of its slots). "u8LensType" is not among them.
    static const QList<KeySlot> &videoKeys();
    // The settings a refresh reads into the record: "language", "trace", "hgr".
    static const QList<KeySlot> &settingKeys();
    // `keys` without the entries of `dropped` (by key, or by key and slot when the
    // slot is given).
    static QList<KeySlot> without(const QList<KeySlot> &keys, const QList<KeySlot> &dropped);

    enum class Result {
        Stored,      // the reply was read into the record
        NotAnObject, // valid JSON but not an object: skipped, the reading goes on
        ParseError,  // no reply or not JSON: logged, the reading stops
        Refused,     // negative "nResult": the reading stops silently
    };
    static bool proceeds(Result result) { return result == Result::Stored || result == Result::NotAnObject; }

    // How one reading differs from another: the keys each panel reads, in order.
    struct Profile {
        ParseErrorTexts videoTexts = kChineseParseTexts;
        QList<KeySlot> videoKeys = CameraParamReader::videoKeys();
        QList<KeySlot> settingKeys = CameraParamReader::settingKeys();
        bool logSettings = true; // a debug record per setting read ("language：", "trace", "hgr")
        bool logSleep = false;   // a further "sleep" debug record after the settings
        // When given, the video reply's member names are logged under this tag
        // ("<tag> VideoParam isEmpty:", "<tag> VideoParam keys:"), and the focus mode
        // read ("param.focus_mode:").
        const char *videoParamTag = nullptr;
    };
    static Profile refreshProfile();
    static Profile selectionProfile();

    // A member that is missing warns "缺少字段:" + key, a null one "字段值为空:" + key;
    // both give `defaultValue`, and so does any value that is not an integral number
    // (silently).
    static int readIntField(const QJsonObject &object, const QString &key, int defaultValue);

    static Result readVideoReply(const QByteArray &reply, CameraParams &params, const Profile &profile);
    // "sleep" is kept outside the record: it is read into `sleep` when given.
    static Result readSettingsReply(const QByteArray &reply, CameraParams &params, qint32 *sleep,
                                    const Profile &profile);

    // Both queries in order. `afterVideo` runs once the video parameters are stored
    // (the selection load shows them before the settings are asked for). Returns true
    // when both replies were read and the record is ready to be shown.
    static bool read(const Exchange &exchange, const Profile &profile, CameraParams &params, qint32 *sleep,
                     const std::function<void()> &afterVideo = {});
};

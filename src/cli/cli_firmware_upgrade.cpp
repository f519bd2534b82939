#include "cli_firmware_upgrade.h"

#include "cli_camera_link.h"
#include "command_texts.h"
#include "firmware_build_check.h"
#include "packet_cmd.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QThread>

namespace {
constexpr int kBarWidth = 40;

class Progress {
public:
    Progress(QTextStream &stream, bool terminal) : m_stream(stream), m_terminal(terminal) {}
    void show(const QString &stage, int percent)
    {
        percent = qBound(0, percent, 100);
        if (m_terminal) {
            const int filled = percent * kBarWidth / 100;
            m_stream << '\r' << '[' << QString(filled, QLatin1Char('#')) << QString(kBarWidth - filled, QLatin1Char(' '))
                     << "] " << QString::number(percent).rightJustified(3) << "% " << stage.leftJustified(24);
            m_open = true;
        } else if (stage != m_lastStage) {
            m_stream << stage << '\n';
        }
        m_lastStage = stage;
        m_stream.flush();
    }
    void end()
    {
        if (m_open)
            m_stream << '\n';
        m_open = false;
        m_stream.flush();
    }

private:
    QTextStream &m_stream;
    bool m_terminal;
    bool m_open = false;
    QString m_lastStage;
};

// "UpdateStatus" and "Progress" of a data or status reply; false when it is not one
// or the camera refused.
bool readStatus(const QByteArray &reply, int *status, int *percent)
{
    const QJsonDocument doc = QJsonDocument::fromJson(reply);
    if (!doc.isObject())
        return false;
    const QJsonObject o = doc.object();
    if (o.value("Content").toObject().value("nResult").toInt(0) < 0)
        return false;
    *status = o.value("UpdateStatus").toInt(0);
    *percent = o.value("Progress").toInt(0);
    return true;
}
} // namespace

int CliFirmwareUpgrade::run(CliCameraLink &link, int index, const QString &path, const Options &options,
                            QTextStream &out, QTextStream &progressStream, QString *error)
{
    const auto failed = [&](const QString &why) {
        *error = why;
        return 1;
    };
    if (index < 0 || index >= link.count())
        return failed(QStringLiteral("no camera with index %1 (%2 connected)").arg(index).arg(link.count()));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential())
        return failed(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
    const qint64 size = file.size();
    if (size <= 0 || size > 0x7fffffff)
        return failed(QStringLiteral("the firmware file is empty or larger than 2 GiB"));

    FirmwareBuildCheck check;
    check.before = link.camera(index).buildDate;
    Progress bar(progressStream, options.terminal);

    QJsonObject reply;
    const QString refused = link.exchange(index, CmdUpgradeRequest, CommandTexts::upgradeRequest(size), &reply);
    if (!refused.isEmpty())
        return failed(QStringLiteral("upgrade request failed: %1").arg(refused));

    int status = 0, percent = 0;
    qint64 sent = 0;
    while (sent < size) {
        const QByteArray block = file.read(qMin<qint64>(FirmwareUpgrade::kBlockSize, size - sent));
        if (block.isEmpty())
            return failed(QStringLiteral("reading %1 failed: %2").arg(path, file.errorString()));
        if (!readStatus(link.sendData(index, CmdUpgradeData, block), &status, &percent)) {
            bar.end();
            return failed(QStringLiteral("camera %1 did not take firmware data").arg(index));
        }
        sent += block.size();
        bar.show(QStringLiteral("sending"), percent);
    }
    for (int query = 1; status != FirmwareUpgrade::kStatusComplete; ++query) {
        if (query > FirmwareUpgrade::kMaxStatusQueries) {
            bar.end();
            return failed(QStringLiteral("camera %1 did not finish the upgrade in time").arg(index));
        }
        QThread::msleep(quint64(options.pollIntervalMs));
        if (!readStatus(link.exchangeText(index, CmdGetUpgradeStatus, QByteArray()), &status, &percent)) {
            bar.end();
            return failed(QStringLiteral("camera %1 did not report its upgrade status").arg(index));
        }
        bar.show(QStringLiteral("flashing"), percent);
    }
    bar.show(QStringLiteral("restarting"), 100);
    bar.end();
    const QString rebootError = link.exchange(index, CmdReboot, QByteArray(), nullptr);
    if (!rebootError.isEmpty())
        return failed(QStringLiteral("restart request failed: %1").arg(rebootError));

    QThread::msleep(quint64(qMax(0, options.restartSettleMs)));
    if (link.reconnect(index, options.returnTimeoutMs))
        check.after = link.camera(index).buildDate;
    check.log();
    if (!check.changed())
        return failed(!check.cameBack()
                          ? QStringLiteral("camera did not come back within %1 s after its restart").arg(options.returnTimeoutMs / 1000)
                          : QStringLiteral("the build date did not change (%1): the new firmware was not taken").arg(check.before));
    out << "upgraded: build date " << check.before << " -> " << check.after << '\n';
    return 0;
}

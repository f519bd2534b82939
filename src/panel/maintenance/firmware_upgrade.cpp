#include "firmware_upgrade.h"

#include "app_paths.h"
#include "command_texts.h"
#include "file_dialogs.h"
#include "message_boxes.h"
#include "packet_cmd.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QThread>
#include <QTimer>

const char *const FirmwareUpgrade::kDirFileName = "update_path.ini";
const char *const FirmwareUpgrade::kDirKey = "FirmwarePath";

const char *const FirmwareUpgrade::kFileDialogStyle = FileDialogs::kDarkStyle;

const char *const FirmwareUpgrade::kProgressDialogStyle =
    "QProgressDialog { background-color: #1e1e1e; color: white; }"
    "QLabel { color: white; }"
    "QPushButton { background-color: #1b89ef; color: white; border: none; border-radius: 4px; padding: 5px 15px; }"
    "QPushButton:hover { background-color: #0a79df; }"
    "QProgressBar { border: 1px solid #444444; border-radius: 4px; color: white; text-align: center; }"
    "QProgressBar::chunk { background-color: #1b89ef; }";

const char *const FirmwareUpgrade::kRebootBoxStyle =
    "QMessageBox { background-color: #1e1e1e; min-width: 280px; }"
    "QMessageBox QLabel { color: white; font-size: 14px; }"
    "QMessageBox QPushButton { background-color: #1b89ef; color: white; border: none; border-radius: 5px;"
    " padding: 8px 20px; min-width: 80px; }"
    "QMessageBox QPushButton:hover { background-color: #1673c5; }";

namespace {
QString dirFilePath()
{
    return QDir(AppPaths::filesDir()).filePath(QString::fromLatin1(FirmwareUpgrade::kDirFileName));
}

// A reply whose "Content" carries a negative "nResult" is the camera saying no.
bool refused(const QJsonObject &reply, int *nResult)
{
    const QJsonValue value = reply.value(QStringLiteral("Content")).toObject().value(QStringLiteral("nResult"));
    *nResult = value.toInt(0);
    return value.isDouble() && *nResult < 0;
}
} // namespace

FirmwareUpgrade::FirmwareUpgrade(Link link, QWidget *panel)
    : QObject(panel), m_link(std::move(link)), m_panel(panel),
      m_sleeper([](int ms) { QThread::msleep(quint64(ms)); }), m_verifyTimeout(new QTimer(this))
{
    m_verifyTimeout->setSingleShot(true);
    connect(m_verifyTimeout, &QTimer::timeout, this, [this] { finishVerification(QString()); });
}

void FirmwareUpgrade::deviceIdentified(const QString &serial, const QString &buildDate)
{
    if (!m_verifySerial.isEmpty() && serial == m_verifySerial && !buildDate.isEmpty())
        finishVerification(buildDate);
}

void FirmwareUpgrade::finishVerification(const QString &buildDate)
{
    if (m_verifySerial.isEmpty())
        return;
    m_verifyTimeout->stop();
    m_verifySerial.clear();
    m_check.after = buildDate;
    m_check.log();
    MessageBoxes::showTimedNotice(m_panel, tr("固件校验"), m_check.message(), kVerifyNoticeMs);
    emit firmwareVerified(m_check.changed());
}

void FirmwareUpgrade::setRebootDelays(int refreshMs, int closePreviewMs)
{
    m_refreshAfterRebootMs = qMax(0, refreshMs);
    m_closePreviewAfterMs = qMax(0, closePreviewMs);
}

// ---------------------------------------------------------------------------------------
// Firmware directory

QString FirmwareUpgrade::loadFirmwareDir()
{
    // Without a remembered directory the chooser starts beside the executable; an
    // installed build starts in the user's home instead of /usr/bin.
    const QString fallback = AppPaths::isPortable() ? AppPaths::applicationDir() : QDir::homePath();
    QSettings settings(dirFilePath(), QSettings::IniFormat);
    const QString dir = settings.value(QString::fromLatin1(kDirKey), fallback).toString();
    return !dir.isEmpty() && QDir(dir).exists() ? dir : fallback;
}

void FirmwareUpgrade::saveFirmwareDir(const QString &dir)
{
    QSettings settings(dirFilePath(), QSettings::IniFormat);
    settings.setValue(QString::fromLatin1(kDirKey), dir);
}

// ---------------------------------------------------------------------------------------
// Entry

void FirmwareUpgrade::onFirmwareUpgradeClicked()
{
    if (m_upgradeDialog)
        return; // one upgrade at a time
    const QString file = FileDialogs::getStyledOpenFileName(m_panel, tr("选择固件文件"),
                                                            loadFirmwareDir(), tr("固件文件 (*.dat)"),
                                                            QString::fromLatin1(kFileDialogStyle));
    if (file.isEmpty())
        return;
    saveFirmwareDir(QFileInfo(file).absolutePath());
    startFirmwareUpgrade(file);
}

// ---------------------------------------------------------------------------------------
// Exchanges

int FirmwareUpgrade::requestUpgrade(int fileSize)
{
    const QByteArray text = CommandTexts::upgradeRequest(fileSize);
    char reply[kReplyBufferSize] = {};
    bool ok = m_link.sendCmd &&
              m_link.sendCmd(CmdUpgradeRequest, text.constData(), int(text.size()), reply, sizeof reply);
    if (ok) {
        // The camera's answer matters only when it explicitly refuses.
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray(reply));
        int nResult = 0;
        if (doc.isObject() && refused(doc.object(), &nResult)) {
            qWarning() << "升级请求被设备拒绝, nResult:" << nResult;
            ok = false;
        }
    }
    if (ok)
        return 0;
    MessageBoxes::showStyledMessageBox(m_panel, tr("请求升级"), tr("请求升级失败"));
    return -1;
}

int FirmwareUpgrade::parseReply(const char *reply, const char *notObjectRecord, int *status, int *progress)
{
    const QByteArray text(reply);
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) {
        qDebug() << "JSON解析错误:" << error.errorString();
        qDebug() << "错误位置:" << error.offset;
        qDebug() << "原始数据:" << text.toHex();
        return -1;
    }
    if (!doc.isObject()) {
        qInfo() << notObjectRecord;
        return -1;
    }
    const QJsonObject o = doc.object();
    *status = o.value(QStringLiteral("UpdateStatus")).toInt(0);
    qDebug() << "升级状态:" << *status;
    *progress = o.value(QStringLiteral("Progress")).toInt(0);
    qDebug() << "升级进度:" << *progress;
    int nResult = 0;
    if (refused(o, &nResult)) {
        qWarning() << "设备拒绝升级数据, nResult:" << nResult;
        return -1;
    }
    return 0;
}

int FirmwareUpgrade::sendFirmwareBlock(const char *data, int length, int *status, int *progress)
{
    char reply[kReplyBufferSize] = {};
    if (!m_link.sendData || !m_link.sendData(CmdUpgradeData, data, length, reply, sizeof reply)) {
        MessageBoxes::showStyledMessageBox(m_panel, tr("请求升级"), tr("发送固件失败"));
        return -1;
    }
    if (parseReply(reply, "升级发数据返回内容解析失败", status, progress) != 0)
        return -1;
    qInfo() << "请求升级成功" << length;
    return 0;
}

int FirmwareUpgrade::queryUpgradeStatus(int *status, int *progress)
{
    char reply[kReplyBufferSize] = {};
    if (!m_link.sendCmd || !m_link.sendCmd(CmdGetUpgradeStatus, nullptr, 0, reply, sizeof reply)) {
        MessageBoxes::showStyledMessageBox(m_panel, tr("请求升级"), tr("获取状态失败"));
        return -1;
    }
    return parseReply(reply, "获取升级状态返回内容解析失败", status, progress);
}

// ---------------------------------------------------------------------------------------
// The run

void FirmwareUpgrade::showStage(const QString &label)
{
    if (m_upgradeDialog)
        m_upgradeDialog->setLabelText(label);
    emit stageChanged(label);
    QCoreApplication::processEvents();
}

void FirmwareUpgrade::closeDialog()
{
    if (!m_upgradeDialog)
        return;
    QProgressDialog *dialog = m_upgradeDialog;
    m_upgradeDialog = nullptr;
    dialog->close();
    delete dialog;
}

FirmwareUpgrade::Outcome FirmwareUpgrade::fail(const QString &title, const QString &text, QFile *file)
{
    if (file)
        file->close();
    MessageBoxes::showStyledMessageBox(m_panel, title, text);
    closeDialog();
    if (m_link.startDetection)
        m_link.startDetection();
    return Outcome::Failed;
}

FirmwareUpgrade::Outcome FirmwareUpgrade::startFirmwareUpgrade(const QString &path)
{
    if (m_upgradeDialog)
        return Outcome::Busy;
    // Nothing else reaches any camera until the run ends, whichever way it ends: a
    // command sent between blocks could land inside the stream or take its reply.
    m_target = m_link.identity ? m_link.identity() : QPair<QString, QString>();
    m_running = true;
    if (m_link.holdTraffic)
        m_link.holdTraffic(true);
    const Outcome outcome = run(path);
    if (m_link.holdTraffic)
        m_link.holdTraffic(false);
    m_running = false;
    return outcome;
}

bool FirmwareUpgrade::restartCamera()
{
    char reply[kReplyBufferSize] = {};
    qDebug() << "发送设备重启命令...";
    if (!m_link.sendCmd || !m_link.sendCmd(CmdReboot, nullptr, 0, reply, sizeof reply))
        return false;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray(reply));
    int nResult = 0;
    if (doc.isObject() && refused(doc.object(), &nResult)) {
        qWarning() << "设备拒绝重启, nResult:" << nResult;
        return false;
    }
    return true;
}

FirmwareUpgrade::Outcome FirmwareUpgrade::run(const QString &path)
{
    if (m_link.stopDetection)
        m_link.stopDetection();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential())
        return fail(tr("错误"), tr("无法打开固件文件"), &file);
    const qint64 fileSize = file.size();
    // An empty file would only announce nothing and wait for a completion that never
    // comes; a size beyond 32 bits cannot be announced at all.
    if (fileSize <= 0)
        return fail(tr("错误"), tr("固件文件为空"), &file);
    if (fileSize > kMaxFileSize)
        return fail(tr("错误"), tr("固件文件过大"), &file);
    const int size = int(fileSize);

    auto *dialog = new QProgressDialog(tr("正在准备升级..."), tr("取消"), 0, 100, m_panel);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(0);
    dialog->setAutoReset(false);
    dialog->setAutoClose(false);
    dialog->setStyleSheet(QString::fromLatin1(kProgressDialogStyle));
    dialog->setValue(0);
    m_upgradeDialog = dialog;

    showStage(tr("正在请求升级..."));
    if (requestUpgrade(size) != 0)
        return fail(tr("升级失败"), tr("请求升级失败"), &file);

    int status = 0;
    int progress = 0;
    showStage(tr("正在发送固件数据..."));
    const int sending = runUpload(file, size, &status, &progress);
    if (sending < 0)
        return Outcome::Failed;
    file.close();
    if (sending > 0) {
        closeDialog();
        MessageBoxes::showStyledMessageBox(m_panel, tr("升级结果"), tr("升级已取消"));
        if (m_link.startDetection)
            m_link.startDetection();
        return Outcome::Cancelled;
    }

    showStage(tr("等待升级完成..."));
    if (status != kStatusComplete) {
        for (int query = 1; query <= kMaxStatusQueries; ++query) {
            if (!m_upgradeDialog || m_upgradeDialog->wasCanceled())
                break;
            if (queryUpgradeStatus(&status, &progress) != 0)
                return fail(tr("升级失败"), tr("获取升级状态失败"));
            if (m_upgradeDialog)
                m_upgradeDialog->setValue(progress);
            showStage(tr("升级中... (%1%)").arg(progress));
            if (status == kStatusComplete)
                break;
            if (m_sleeper)
                m_sleeper(kPollIntervalMs);
            if (query == kMaxStatusQueries)
                return fail(tr("升级失败"), tr("升级超时"));
        }
    }
    closeDialog();

    Outcome outcome = Outcome::Unfinished;
    if (status == kStatusComplete) {
        askForRestart();
        if (!restartCamera()) {
            MessageBoxes::showStyledMessageBox(m_panel, tr("重启设备"), tr("设备重启失败"));
            if (m_link.startDetection)
                m_link.startDetection();
            return Outcome::RebootFailed;
        }
        if (!m_target.first.isEmpty()) {
            m_verifySerial = m_target.first;
            m_check = FirmwareBuildCheck{m_target.second, QString()};
            m_verifyTimeout->start(kVerifyTimeoutMs);
        }
        if (m_link.restarting)
            m_link.restarting();
        QTimer::singleShot(m_refreshAfterRebootMs, this, [this] {
            if (m_link.refreshDevices)
                m_link.refreshDevices();
        });
        QWidget *preview = m_link.previewWindow ? m_link.previewWindow() : nullptr;
        if (preview && preview->isVisible())
            QTimer::singleShot(m_closePreviewAfterMs, preview, &QWidget::close);
        outcome = Outcome::Rebooting;
    } else {
        MessageBoxes::showStyledMessageBox(m_panel, tr("升级结果"), tr("升级未完成"));
    }
    if (m_link.startDetection)
        m_link.startDetection();
    return outcome;
}

int FirmwareUpgrade::runUpload(QFile &file, int size, int *status, int *progress)
{
    QByteArray buffer(kBlockSize, '\0');
    qint64 sent = 0;
    // Only the announced bytes are sent, even if the file grows meanwhile.
    while (sent < size) {
        if (!m_upgradeDialog || m_upgradeDialog->wasCanceled())
            return 1;
        const qint64 n = file.read(buffer.data(), qMin<qint64>(kBlockSize, size - sent));
        if (n <= 0) {
            // The file shrank or became unreadable after it was opened.
            qWarning() << "读取固件文件失败:" << file.errorString();
            fail(tr("升级失败"), tr("读取固件文件失败"), &file);
            return -1;
        }
        if (sendFirmwareBlock(buffer.constData(), int(n), status, progress) != 0) {
            fail(tr("升级失败"), tr("发送固件数据失败"), &file);
            return -1;
        }
        sent += n;
        if (m_upgradeDialog)
            m_upgradeDialog->setValue(*progress);
        showStage(tr("已发送: %1 / %2 MB (%3%)")
                      .arg(sent / kBlockSize)
                      .arg(size / kBlockSize)
                      .arg(*progress));
    }
    return !m_upgradeDialog || m_upgradeDialog->wasCanceled() ? 1 : 0;
}

void FirmwareUpgrade::askForRestart()
{
    // The only choice is to restart; closing the box counts the same.
    // The box goes with the panel if that is destroyed while it runs.
    QPointer<QMessageBox> box = MessageBoxes::createCustomBox(m_panel, tr("升级完成"),
                                                              tr("固件升级已完成，请点击重启按钮重启设备"),
                                                              QString::fromLatin1(kRebootBoxStyle));
    box->setDefaultButton(box->addButton(tr("重启"), QMessageBox::AcceptRole));
    MessageBoxes::exec(box);
    delete box.data();
}

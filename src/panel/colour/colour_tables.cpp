#include "colour_tables.h"

#include "command_texts.h"
#include "device_sender.h"
#include "packet_cmd.h"
#include "panel_camera_context.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>
#include <QTimer>

namespace {
constexpr const char *kRefreshTag = "[refreshYellowOrangeRuddy]";

QByteArray getCommand(HsvKind kind)
{
    return kind == HsvKind::Hue ? CommandTexts::getHsvHueLut() : CommandTexts::getHsvStaLut();
}

QByteArray setCommand(HsvKind kind, const HsvTable &table)
{
    const QVector<int> values = table.toList();
    return kind == HsvKind::Hue ? CommandTexts::setHsvHueLut(values) : CommandTexts::setHsvStaLut(values);
}
} // namespace

namespace {
int recordSlot(HsvKind kind)
{
    return kind == HsvKind::Hue ? CameraParams::HueTable : CameraParams::SaturationTable;
}
} // namespace

HsvTable ColourTables::recordTable(const CameraParams &params, HsvKind kind)
{
    return HsvTable::fromList(params.table(recordSlot(kind))).value_or(HsvTable());
}

void ColourTables::setRecordTable(CameraParams &params, HsvKind kind, const HsvTable &table)
{
    params.setTable(recordSlot(kind), table.toList());
}

ColourTables::ColourTables(Link link, QObject *parent)
    : QObject(parent), m_link(std::move(link)), m_tableRefreshTimer(new QTimer(this))
{
    m_tableRefreshTimer->setSingleShot(true);
    m_tableRefreshTimer->setInterval(kTableRefreshMs);
    connect(m_tableRefreshTimer, &QTimer::timeout, this, [this] { readHsvTables(); });
}

ColourTables *ColourTables::forCamera(PanelCameraContext *camera, QObject *parent)
{
    Link link;
    link.send = [camera](quint32 cmdId, const QByteArray &text, char *reply, int capacity) {
        return camera->sendText(int(cmdId), text, reply, capacity);
    };
    link.sendEnabled = [camera] { return camera->sendEnabled(); };
    auto *tables = new ColourTables(link, parent);
    tables->setStorage(
        [camera](HsvKind kind) { return recordTable(camera->params(), kind); },
        [camera](HsvKind kind, const HsvTable &table) { setRecordTable(camera->params(), kind, table); });
    return tables;
}

HsvTable ColourTables::table(HsvKind kind) const
{
    if (m_load)
        return m_load(kind);
    return kind == HsvKind::Hue ? m_hue : m_sat;
}

void ColourTables::setTable(HsvKind kind, const HsvTable &table)
{
    if (m_store)
        m_store(kind, table);
    else
        (kind == HsvKind::Hue ? m_hue : m_sat) = table;
}

void ColourTables::setStorage(std::function<HsvTable(HsvKind)> load, std::function<void(HsvKind, const HsvTable &)> store)
{
    if (!load || !store)
        return;
    const HsvTable hue = table(HsvKind::Hue);
    const HsvTable sat = table(HsvKind::Saturation);
    m_load = std::move(load);
    m_store = std::move(store);
    m_store(HsvKind::Hue, hue);
    m_store(HsvKind::Saturation, sat);
}

bool ColourTables::readHsvTables(ReadMode mode)
{
    for (HsvKind kind : {HsvKind::Hue, HsvKind::Saturation})
        if (readTable(kind, mode) == ReadOutcome::Failed && mode == ReadMode::Activation)
            return false;
    return true;
}

ColourTables::ReadOutcome ColourTables::readTable(HsvKind kind, ReadMode mode)
{
    const bool verbose = mode == ReadMode::Activation;
    const HsvKindInfo &info = HsvKindInfo::of(kind);
    QByteArray reply(DeviceSender::kReplyBufferSize, '\0');
    if (m_link.send)
        m_link.send(CmdGetParam, getCommand(kind), reply.data(), int(reply.size()));
    const QByteArray text(reply.constData()); // up to the terminating zero

    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) {
        if (verbose) {
            qDebug() << "JSON解析错误:" << error.errorString();
            qDebug() << "错误位置:" << error.offset;
            qDebug() << "原始数据:" << text.toHex();
        }
        return ReadOutcome::Failed;
    }
    if (!doc.isObject())
        return ReadOutcome::NotObject;

    const QJsonObject content = doc.object().value(QStringLiteral("Content")).toObject();
    const int result = content.value(QStringLiteral("nResult")).toInt(0);
    if (result < 0) {
        if (verbose)
            qDebug() << "获取HSV色度失败，nResult:" << result;
        return ReadOutcome::Failed;
    }
    const QString member = QLatin1String(info.member);
    if (!content.value(member).isArray()) {
        if (verbose)
            qDebug().noquote() << QStringLiteral("JSON中未找到%1字段").arg(member);
        return ReadOutcome::Incomplete;
    }
    const QJsonArray array = content.value(member).toArray();
    if (array.size() != HsvTable::kPoints) {
        if (verbose)
            qDebug().noquote() << QStringLiteral("%1数组大小错误，期望24，实际:").arg(member) << array.size();
        return ReadOutcome::Incomplete;
    }

    HsvTable table;
    QStringList shown;
    for (int i = 0; i < HsvTable::kPoints; ++i) {
        table[i] = array.at(i).toInt(0);
        shown << QString::number(table[i]);
    }
    setTable(kind, table);
    if (verbose)
        qDebug().noquote() << QStringLiteral("成功获取24个HSV色度值: [") + shown.join(',') + "]";
    emit tableRead(kind, table);
    return ReadOutcome::Stored;
}

bool ColourTables::sendTable(HsvKind kind, const HsvTable &table)
{
    if (m_link.sendEnabled && !m_link.sendEnabled())
        return false;
    const QByteArray text = setCommand(kind, table);
    if (text.isEmpty() || !m_link.send)
        return false;
    if (m_sendRecord)
        m_sendRecord(kind, text);
    return m_link.send(CmdJson, text, nullptr, 0);
}

void ColourTables::refreshYellowOrangeRuddy()
{
    QByteArray reply(DeviceSender::kReplyBufferSize, '\0');
    if (!m_link.send || !m_link.send(CmdGetParam, CommandTexts::getVideoParam(), reply.data(), int(reply.size()))) {
        qDebug().noquote() << kRefreshTag << "发送命令失败";
        return;
    }
    const QByteArray text(reply.constData());
    if (text.isEmpty()) {
        qDebug().noquote() << kRefreshTag << "设备返回数据为空";
        return;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) {
        qDebug().noquote() << kRefreshTag << "JSON解析错误:" << error.errorString();
        return;
    }
    if (!doc.isObject()) {
        qDebug().noquote() << kRefreshTag << "JSON数据不是对象格式";
        return;
    }
    const QJsonObject root = doc.object();
    if (!root.value(QStringLiteral("Content")).isObject()) {
        qDebug().noquote() << kRefreshTag << "JSON数据缺少Content字段";
        return;
    }
    const QJsonObject content = root.value(QStringLiteral("Content")).toObject();
    const int result = content.value(QStringLiteral("nResult")).toInt(0);
    if (result < 0) {
        qDebug().noquote() << kRefreshTag << "设备返回错误码:" << result;
        return;
    }
    if (!content.value(QStringLiteral("VideoParam")).isObject()) {
        qDebug().noquote() << kRefreshTag << "JSON数据缺少VideoParam字段";
        return;
    }
    emit yellowOrangeRuddyRead(content.value(QStringLiteral("VideoParam")).toObject());
    qInfo().noquote() << kRefreshTag << "黄色、橙色、红润参数更新成功";
}

void ColourTables::scheduleYellowOrangeRuddyRefresh()
{
    QTimer::singleShot(kTableRefreshMs, this, &ColourTables::refreshYellowOrangeRuddy);
}

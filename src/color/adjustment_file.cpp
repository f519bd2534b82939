#include "adjustment_file.h"

#include <QDebug>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cmath>

namespace {

const QString kNumAngles = QStringLiteral("numAngles");
const QString kNumRadii = QStringLiteral("numRadii");
const QString kDeltaSaturation = QStringLiteral("deltaSaturation");
const QString kDeltaHue = QStringLiteral("deltaHue");
const QString kControlPoints = QStringLiteral("controlPoints");
const QString kHisiOutput = QStringLiteral("hisiOutput");

QJsonArray tableToJson(const PaletteTable &table, int angles, int rings) {
    QJsonArray rows;
    for (int i = 0; i < angles; ++i) {
        QJsonArray row;
        for (int j = 0; j < rings; ++j)
            row.append(i < table.size() && j < table[i].size() ? double(table[i][j]) : 0.0);
        rows.append(row);
    }
    return rows;
}

// Reads the values a file gives; every refusal names what was wrong.
class Reader {
public:
    QString error; // as the log writes it
    QString shown; // as the user reads it

    // A number of the file, or `fallback` when the member is absent.
    bool number(const QJsonValue &value, double fallback, double *out, const QString &what) {
        if (value.isUndefined()) {
            *out = fallback;
            return true;
        }
        if (!value.isDouble() || !std::isfinite(value.toDouble()))
            return fail(QT_TRANSLATE_NOOP("AdjustmentFile", "%1不是数值"), {what});
        *out = value.toDouble();
        return true;
    }

    bool boundedNumber(const QJsonValue &value, double *out, const QString &what) {
        if (!number(value, 0.0, out, what))
            return false;
        if (std::fabs(*out) > AdjustmentFile::kMaxMagnitude)
            return fail(QT_TRANSLATE_NOOP("AdjustmentFile", "%1超出范围"), {what});
        return true;
    }

    bool integer(const QJsonValue &value, int low, int high, int *out, const QString &what) {
        double d = 0.0;
        if (!number(value, 0.0, &d, what))
            return false;
        if (d != std::floor(d) || d < low || d > high)
            return fail(QT_TRANSLATE_NOOP("AdjustmentFile", "%1超出范围(%2–%3)"), {what, QString::number(low), QString::number(high)});
        *out = int(d);
        return true;
    }

    // An array member, or an empty one when absent.
    bool array(const QJsonValue &value, QJsonArray *out, const QString &what) {
        if (value.isUndefined()) {
            *out = QJsonArray();
            return true;
        }
        if (!value.isArray())
            return fail(QT_TRANSLATE_NOOP("AdjustmentFile", "%1不是数组"), {what});
        *out = value.toArray();
        return true;
    }

    bool table(const QJsonValue &value, int angles, int rings, PaletteTable *table, const QString &what) {
        QJsonArray rows;
        if (!array(value, &rows, what))
            return false;
        table->resize(angles);
        for (int i = 0; i < angles; ++i) {
            QVector<float> &row = (*table)[i];
            if (row.size() < rings)
                row.resize(rings, 0.0f);
            QJsonArray cells;
            if (!array(i < rows.size() ? rows.at(i) : QJsonValue(QJsonValue::Undefined), &cells, what))
                return false;
            for (int j = 0; j < rings; ++j) {
                double d = 0.0;
                if (!boundedNumber(j < cells.size() ? cells.at(j) : QJsonValue(QJsonValue::Undefined), &d,
                                   what))
                    return false;
                row[j] = float(d);
            }
        }
        return true;
    }

    bool controlPoints(const QJsonValue &value, int angles, int rings, QList<ControlPoint> *points) {
        QJsonArray list;
        if (!array(value, &list, kControlPoints))
            return false;
        if (list.size() > AdjustmentFile::kMaxControlPoints)
            return fail(QT_TRANSLATE_NOOP("AdjustmentFile", "控制点数量超出范围(最多%1个)"),
                        {QString::number(AdjustmentFile::kMaxControlPoints)});
        points->clear();
        for (const QJsonValue &element : list) {
            if (!element.isObject())
                return fail(QT_TRANSLATE_NOOP("AdjustmentFile", "控制点不是对象"));
            const QJsonObject o = element.toObject();
            ControlPoint p;
            if (!integer(o.value(QStringLiteral("angleIdx")), 0, angles - 1, &p.angleIdx,
                         QStringLiteral("angleIdx")) ||
                !integer(o.value(QStringLiteral("radiusIdx")), 0, rings - 1, &p.radiusIdx,
                         QStringLiteral("radiusIdx")) ||
                !boundedNumber(o.value(QStringLiteral("x")), &p.x, QStringLiteral("x")) ||
                !boundedNumber(o.value(QStringLiteral("y")), &p.y, QStringLiteral("y")) ||
                !boundedNumber(o.value(QStringLiteral("originalX")), &p.originalX,
                               QStringLiteral("originalX")) ||
                !boundedNumber(o.value(QStringLiteral("originalY")), &p.originalY,
                               QStringLiteral("originalY")))
                return false;
            points->append(p);
        }
        return true;
    }

    bool hisiTable(const QJsonValue &value, HisiTable *table) {
        QJsonArray rows;
        if (!array(value, &rows, kHisiOutput))
            return false;
        *table = PaletteLut::zeroHisiTable();
        const int n = qMin(int(rows.size()), PaletteLut::kHisiRows);
        for (int r = 0; r < n; ++r) {
            QJsonArray words;
            if (!array(rows.at(r), &words, kHisiOutput))
                return false;
            const int m = qMin(int(words.size()), PaletteLut::kHisiWords);
            for (int i = 0; i < m; ++i) {
                double d = 0.0;
                if (!number(words.at(i), 0.0, &d, kHisiOutput))
                    return false;
                if (d < 0.0 || d >= 4294967296.0)
                    return fail(QT_TRANSLATE_NOOP("AdjustmentFile", "hisiOutput第%1行第%2个数值超出范围"),
                                {QString::number(r), QString::number(i)});
                (*table)[r][i] = quint32(d);
            }
        }
        return true;
    }

private:
    // `text` is marked for translation; `args` fill its %1, %2, ...
    bool fail(const char *text, const QStringList &args = {}) {
        error = QString::fromUtf8(text);
        shown = AdjustmentFile::tr(text);
        for (const QString &arg : args) {
            error = error.arg(arg);
            shown = shown.arg(arg);
        }
        return false;
    }
};

} // namespace

QByteArray AdjustmentFile::toJson(const PaletteState &state) {
    QJsonObject root;
    root.insert(kNumAngles, state.numAngles);
    root.insert(kNumRadii, state.numRadii);
    root.insert(kDeltaSaturation, tableToJson(state.deltaSaturation, state.numAngles, state.numRadii));
    root.insert(kDeltaHue, tableToJson(state.deltaHue, state.numAngles, state.numRadii));
    QJsonArray points;
    for (const ControlPoint &p : state.controlPoints) {
        QJsonObject o;
        o.insert(QStringLiteral("angleIdx"), p.angleIdx);
        o.insert(QStringLiteral("radiusIdx"), p.radiusIdx);
        o.insert(QStringLiteral("x"), p.x);
        o.insert(QStringLiteral("y"), p.y);
        o.insert(QStringLiteral("originalX"), p.originalX);
        o.insert(QStringLiteral("originalY"), p.originalY);
        points.append(o);
    }
    root.insert(kControlPoints, points);
    QJsonArray rows;
    for (const QList<quint32> &row : state.hisiOutput) {
        QJsonArray words;
        for (quint32 w : row)
            words.append(qint64(w));
        rows.append(words);
    }
    root.insert(kHisiOutput, rows);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool AdjustmentFile::save(const PaletteState &state, const QString &path, QString *error) {
    QSaveFile file(path);
    // A file that may be written in a folder that may not still gets written.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        qWarning().noquote() << "无法保存文件:" << path;
        *error = file.errorString();
        return false;
    }
    const QByteArray text = toJson(state);
    if (file.write(text) != text.size() || !file.commit()) {
        qWarning().noquote() << "无法保存文件:" << path << file.errorString();
        *error = file.errorString();
        return false;
    }
    return true;
}

bool AdjustmentFile::load(const QString &path, const PaletteState &current, PaletteState *result,
                          QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << "无法打开文件:" << path;
        *error = file.errorString();
        return false;
    }
    // Read one byte past the bound, so that devices and growing files are caught too.
    const QByteArray text = file.read(kMaxFileBytes + 1);
    if (text.size() > kMaxFileBytes) {
        qWarning().noquote() << "调整表文件过大:" << path;
        *error = tr("文件超过%1 MiB").arg(kMaxFileBytes / (1024 * 1024));
        return false;
    }
    QString logText;
    switch (parse(text, current, result, error, &logText)) {
    case ParseResult::Ok:
        return true;
    case ParseResult::NotJson:
        qWarning().noquote() << "JSON解析错误:" << path;
        return false;
    case ParseResult::Refused:
        qWarning().noquote() << "调整表无效:" << path << logText;
        return false;
    }
    return false;
}

AdjustmentFile::ParseResult AdjustmentFile::parse(const QByteArray &text, const PaletteState &current,
                                                  PaletteState *result, QString *error, QString *logText) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        *error = tr("JSON解析错误: %1").arg(document.isNull() ? parseError.errorString() : tr("不是JSON对象"));
        return ParseResult::NotJson;
    }
    const QJsonObject root = document.object();
    Reader reader;
    PaletteState state = current;
    const bool ok =
        reader.integer(root.value(kNumAngles), 1, kMaxAngles, &state.numAngles, kNumAngles) &&
        reader.integer(root.value(kNumRadii), 1, kMaxRadii, &state.numRadii, kNumRadii) &&
        reader.table(root.value(kDeltaSaturation), state.numAngles, state.numRadii, &state.deltaSaturation,
                     kDeltaSaturation) &&
        reader.table(root.value(kDeltaHue), state.numAngles, state.numRadii, &state.deltaHue, kDeltaHue) &&
        reader.controlPoints(root.value(kControlPoints), state.numAngles, state.numRadii,
                             &state.controlPoints) &&
        reader.hisiTable(root.value(kHisiOutput), &state.hisiOutput);
    if (!ok) {
        *error = reader.shown;
        if (logText)
            *logText = reader.error;
        return ParseResult::Refused;
    }
    *result = state;
    return ParseResult::Ok;
}

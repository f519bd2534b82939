#include "device_models.h"

#include "build_config.h"

#include <QMap>
#include <QStringList>

const char *const kUnknownDeviceName = "未知设备";
const char *const kIconPrefix = ":/icons/resources/icons/";

namespace {
quint16 g_vendorId = KESTRANE_DEFAULT_VENDOR_ID;

bool containsNoCase(const QString &text, const char *key)
{
    return text.contains(QLatin1String(key), Qt::CaseInsensitive);
}

bool equalsAny(const QString &text, std::initializer_list<const char *> codes)
{
    for (const char *code : codes)
        if (text == QString::fromUtf8(code))
            return true;
    return false;
}
} // namespace

quint16 cameraVendorId()
{
    return g_vendorId;
}

void setCameraVendorId(quint16 vendorId)
{
    g_vendorId = vendorId;
}

QString displayNameForModel(const QString &model)
{
    // Tested in ascending key order; keys that occur inside longer keys map to the
    // same name, so the order never changes a result.
    static const QMap<QString, QString> names = {
        {"RV-K310A-WP-BEFA", "A1"},     {"RV-K312S-00", "A1"},     {"RV-K312H-MA", "A1"},
        {"RV-K310A-GDR", "星瞳1"},      {"RV-K310A-WP", "A1"},     {"RV-K310A-NRM", "A1"},
        {"RV-K312E-QV", "A1"},          {"RV-K310E-WU", "A1"},     {"RV-K310E-JYLO", "A1"},
        {"RV-N906-PX", "D1"},           {"RV-K310A-LNQ", "QV-AI k4"}, {"RV-T782-KB", "C5"},
        {"RV-T782-KB-BEFA", "C5"},      {"RV-K310A-WU", "B1"},
    };
    for (auto it = names.cbegin(); it != names.cend(); ++it)
        if (model.contains(it.key(), Qt::CaseInsensitive))
            return it.value();
    return QString::fromUtf8(kUnknownDeviceName);
}

QString iconBaseForModel(const QString &model)
{
    QString base = "default";
    if (containsNoCase(model, "RV-T782-KB"))
        base = "C5";
    else if (containsNoCase(model, "RV-K310A-WU"))
        base = "b1";
    else if (containsNoCase(model, "RV-K310A-LNQ"))
        base = "A1Max";
    else {
        bool a1 = false;
        for (const char *code : {"RV-K310A-WP-BEFA", "RV-K312S-00", "RV-K312H-MA", "RV-K310A-GDR", "RV-K310A-WP",
                                 "RV-K310A-NRM", "RV-K312E-QV", "RV-K310E-WU", "RV-K310E-JYLO"})
            a1 = a1 || containsNoCase(model, code);
        if (a1)
            base = "a1";
        else if (containsNoCase(model, "RV-N906-PX"))
            base = "d1";
    }
    return QLatin1String(kIconPrefix) + base;
}

PanelKind panelKindForModel(const QString &model)
{
    if (equalsAny(model, {"RV-K310A-WP-BEFA", "RV-K312S-00", "RV-K312H-MA", "RV-K310A-GDR", "RV-K310A-WP",
                          "RV-K310A-NRM", "RV-K312E-QV", "RV-K310E-WU", "RV-K310E-JYLO", "RV-N906-PX"}))
        return PanelKind::WpBefa;
    if (equalsAny(model, {"RV-K310A-LNQ"}))
        return PanelKind::Lnq;
    if (equalsAny(model, {"RV-T782-KB", "RV-T782-KB-BEFA"}))
        return PanelKind::T782;
    if (equalsAny(model, {"RV-K310A-WU", "RV-K310A-WU-BEFA", "RV-K311E-FZ"}))
        return PanelKind::BuiltIn;
    return PanelKind::None;
}

bool isPanReversedModel(const QString &model)
{
    return equalsAny(model, {"RV-K310A-WU-BEFA", "RV-K311E-FZ", "RV-K310A-WU"});
}

bool supportsDirectionProbe(const QString &model)
{
    return !equalsAny(model, {"RV-K310A-WU-BEFA", "RV-K310A-WU"});
}

bool readsColourTablesOnActivation(const QString &model)
{
    return !equalsAny(model, {"RV-T782-KB", "RV-T782-KB-BEFA"});
}

QString cleanSeriesName(const QString &name)
{
    if (equalsAny(name, {"星瞳1", "A1", "A3", "QV-AI k4"}))
        return QStringLiteral("A1");
    return name;
}

QString seriesOfModel(const QString &model)
{
    const QString name = displayNameForModel(model);
    if (name.isEmpty() || name == QString::fromUtf8(kUnknownDeviceName))
        return QString();
    return name;
}

bool seriesMatches(const QString &selected, const QString &connected)
{
    return cleanSeriesName(selected) == cleanSeriesName(connected);
}

const QList<SeriesInfo> &seriesTable()
{
    static const QList<SeriesInfo> table = {
        {"A", "A1", ":/icons/resources/icons/Series_A.png"},
        {"B", "B1", ":/icons/resources/icons/Series_B.png"},
        {"C", "C5", ":/icons/resources/icons/Series_C.png"},
        {"D", "D1", ":/icons/resources/icons/Series_D.png"},
    };
    return table;
}

const QStringList &knownModelCodes()
{
    static const QStringList codes = {
        "RV-K310A-WP-BEFA", "RV-K312S-00", "RV-K312H-MA",  "RV-K310A-GDR",    "RV-K310A-WP",      "RV-K310A-NRM",
        "RV-K312E-QV",      "RV-K310E-WU", "RV-K310E-JYLO", "RV-N906-PX",     "RV-K310A-LNQ",     "RV-T782-KB",
        "RV-T782-KB-BEFA",  "RV-K310A-WU", "RV-K310A-WU-BEFA", "RV-K311E-FZ",
    };
    return codes;
}

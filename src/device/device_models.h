#pragma once

#include <QList>
#include <QString>

// Everything that depends on a camera's product model text, in one table.

// Which panel serves the active camera.
enum class PanelKind {
    None = 0,
    WpBefa = 1,  // widget_RV_K310A_WP_BEFA
    BuiltIn = 2, // the control panel's own pages
    T782 = 3,    // widget_RV_T782_KB_BEFA
    Lnq = 4,     // widget_RV_K310A_LNQ
};

// The cameras' USB vendor id: a build-time default that the command line can override.
quint16 cameraVendorId();
void setCameraVendorId(quint16 vendorId);

extern const char *const kUnknownDeviceName; // "未知设备"
extern const char *const kIconPrefix;        // ":/icons/resources/icons/"

QString displayNameForModel(const QString &model);
QString iconBaseForModel(const QString &model);
PanelKind panelKindForModel(const QString &model);
bool isPanReversedModel(const QString &model);
bool supportsDirectionProbe(const QString &model);
bool readsColourTablesOnActivation(const QString &model);
QString cleanSeriesName(const QString &name);

// The series of a connected camera: its display name, or empty when it belongs to none.
QString seriesOfModel(const QString &model);
bool seriesMatches(const QString &selected, const QString &connected);

struct SeriesInfo {
    QString letter;
    QString name;
    QString picture;
};
const QList<SeriesInfo> &seriesTable();

// The model codes the tool knows, in table order (used by the simulated cameras).
const QStringList &knownModelCodes();

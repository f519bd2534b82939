#pragma once

#include <QCoreApplication>
#include <QString>

// Whether a firmware upgrade took: the camera's build date before the upgrade and as
// it reports it after its restart. Logged either way, with one text for the user.
struct FirmwareBuildCheck {
    QString before;
    QString after; // empty when the camera did not come back or did not answer

    bool cameBack() const { return !after.isEmpty(); }
    bool changed() const { return cameBack() && after != before; }
    // "固件已更新: 版本日期 2024-06-18 → 2025-01-09", or why not.
    QString message() const;
    // Writes the verdict to the log (INFO when changed, WARNING otherwise).
    void log() const;

    Q_DECLARE_TR_FUNCTIONS(FirmwareBuildCheck)
};

#pragma once

#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QWidget>

#include "window_dragger.h"

#include <functional>

class DeviceSelectionWindow;
class QHBoxLayout;
class QPushButton;
class QTimer;
class QVBoxLayout;
class UnselectedDeviceWindow;
class Widget;

// The boot window: scans for cameras every few seconds with a hidden control panel,
// opens the control panel by itself for a single camera of a known series, and
// otherwise lets the user choose a series.
class StartupWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kScanIntervalMs = 3000;
    static constexpr int kWaitingIntervalMs = 5000;
    static constexpr int kWaitingVisibleIntervalMs = 10000;

    explicit StartupWindow(QWidget *parent = nullptr);
    ~StartupWindow() override;

    // State, for tests.
    QString selectedSeries() const { return m_selectedSeries; }
    bool panelOpened() const { return m_panelOpened; }
    int refreshInterval() const;
    bool isRefreshing() const;
    Widget *detector() const { return m_detector; }
    DeviceSelectionWindow *selectionWindow() const { return m_selectionWindow; }
    UnselectedDeviceWindow *unselectedWindow() const { return m_unselectedWindow; }
    QWidget *overlay() const { return m_overlay; }
    QPushButton *connectButton() const { return m_connectButton; }
    // What quitting the application means; tests replace it (an empty function
    // restores QCoreApplication::quit).
    static void setQuitHandler(std::function<void()> handler);

    // The control panel once it was opened (null before, and after it is gone).
    Widget *controlPanel() const { return m_controlPanel; }
    // The panel waits for the user: cameras of several series were found (the window
    // does not choose for the user), or the series selection is shown.
    bool isChoosingSeries() const;

signals:
    // The control panel was opened.
    void controlPanelOpened(Widget *panel);

public slots:
    void startAutoRefresh();
    void stopAutoRefresh();
    void onRefreshTimeout();
    void checkDeviceMatch(const QString &selectedSeries);
    void openControlPanel(const QString &series);
    void onMinimizeClicked();
    void onCloseClicked();
    void onConnectClicked();
    void onDeviceSelected(const QString &series);
    void onDeviceSelectionCanceled();
    void onUnselectedDeviceReturnClicked();
    void onUnselectedDeviceCloseClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildLayout();
    QPixmap loadTitleIcon(const QString &path, int size);
    void evaluateScan();
    void recheckAfterRefresh();
    void showSelection();
    void showUnselectedWindow(const QString &series);
    void raiseOverlay();
    static QString cleanedSeries(const QString &series);
    static void centreOnPrimaryScreen(QWidget *window);
    static bool anyMatches(const QStringList &detected, const QString &series);
    static void quitApplication();

    QTimer *m_refreshTimer = nullptr;
    Widget *m_detector = nullptr;
    QString m_selectedSeries;
    QPixmap m_bootImage;
    QPushButton *m_connectButton = nullptr;
    QVBoxLayout *m_mainLayout = nullptr;
    QHBoxLayout *m_topLayout = nullptr;
    QPushButton *m_minimizeButton = nullptr;
    QPushButton *m_closeButton = nullptr;
    QWidget *m_overlay = nullptr;
    QWidget *m_overlayContent = nullptr;
    DeviceSelectionWindow *m_selectionWindow = nullptr;
    UnselectedDeviceWindow *m_unselectedWindow = nullptr;
    WindowDragger m_dragger;
    int m_cornerRadius = 15;
    bool m_panelOpened = false;
    bool m_severalSeries = false; // the last scan found cameras of several series
    Widget *m_controlPanel = nullptr;
};

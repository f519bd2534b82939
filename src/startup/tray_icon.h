#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class ControlServices;
class QMenu;
class QSystemTrayIcon;
class StartupWindow;
class Widget;

// The tool in the background: an icon in the desktop's tray (where there is one) with
// the panel, the cameras and their named presets, the outside interfaces, the choice
// to keep running when the window is closed and to start at login, and quitting.
// Without a tray nothing changes: closing the window quits.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    // The outside interfaces the menu switches, beside the control API.
    struct Switch {
        QString label;
        std::function<bool()> running;
        std::function<bool(bool on)> set; // false when it could not be switched
    };

    TrayIcon(StartupWindow *window, ControlServices *services, QObject *parent = nullptr);
    ~TrayIcon() override;

    static bool available();
    // Tests decide whether the desktop has a tray; nothing: ask the desktop.
    static void setAvailableOverride(std::optional<bool> available);

    void addSwitch(const Switch &entry);
    // Started from login or with "--tray": the windows stay hidden until asked for.
    void startHidden();

    // "关闭窗口后继续运行", kept in the user's settings; off by default.
    static bool keepRunning();
    static void setKeepRunning(bool keep);

    // The menu as it is shown; filled anew each time it opens.
    QMenu *menu() const { return m_menu; }
    void rebuildMenu();
    // The panel when it is open, else the start-up window, raised.
    void showWindow();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void panelOpened(Widget *panel);
    void addCameras();
    void callPreset(const QString &serial, int preset);

    QPointer<StartupWindow> m_window;
    ControlServices *m_services;
    QMenu *m_menu;
    QSystemTrayIcon *m_icon = nullptr;
    QList<Switch> m_switches;
    bool m_hidden = false;
};

#include "ptz_commands.h"

#include "command_texts.h"
#include "remote_command_words.h"

#include <QDebug>

PtzCommands::PtzCommands(const Context &context, QObject *parent) : QObject(parent), m_context(context) {}

bool PtzCommands::sendPtzCommand(const QString &ptzCmd)
{
    if (!sendAllowed())
        return false;
    const int index = currentIndex();
    qDebug() << "[PTZ_CMD] device:" << index << "command:" << ptzCmd;
    if (index < 0 || !m_context.send)
        return false;
    return m_context.send(index, CommandTexts::ptzCtrl(ptzCmd));
}

bool PtzCommands::sendPresetCommand(const QString &presetCmd, int presetId)
{
    if (!sendAllowed())
        return false;
    const int index = currentIndex();
    qDebug() << "[PRESET_CMD] device:" << index << "command:" << presetCmd << "id:" << presetId;
    if (index < 0 || !m_context.send)
        return false;
    return m_context.send(index, CommandTexts::presetCtrl(presetCmd, presetId));
}

void PtzCommands::startDrive(const QString &ptzCmd, const QString &stopCmd)
{
    if (sendPtzCommand(ptzCmd)) {
        m_runningStop = stopCmd;
        m_runningIndex = currentIndex();
    }
}

void PtzCommands::endDrive(const QString &stopCmd)
{
    m_runningStop.clear();
    sendPtzCommand(stopCmd);
}

void PtzCommands::stopRunningDrive()
{
    if (m_runningStop.isEmpty())
        return;
    const QString stop = m_runningStop;
    m_runningStop.clear();
    qDebug() << "[PTZ_CMD] device:" << m_runningIndex << "command:" << stop << "(button gone while held)";
    if (m_context.send)
        m_context.send(m_runningIndex, CommandTexts::ptzCtrl(stop));
}

QString PtzCommands::cameraWord(const QString &direction) const
{
    return RemoteCommandWords::cameraPtzWord(direction, m_context.currentModel ? *m_context.currentModel : QString());
}

QString PtzCommands::leftCommand() const
{
    return cameraWord(QStringLiteral("Left"));
}

QString PtzCommands::rightCommand() const
{
    return cameraWord(QStringLiteral("Right"));
}

void PtzCommands::onZoomOutPressed()
{
    qDebug() << "Zoom Out Pressed";
    startDrive(QStringLiteral("ZoomTele"), QStringLiteral("ZoomStop"));
}

void PtzCommands::onZoomOutReleased()
{
    qDebug() << "Zoom Out Released";
    endDrive(QStringLiteral("ZoomStop"));
}

void PtzCommands::onZoomInPressed()
{
    qDebug() << "Zoom In press";
    startDrive(QStringLiteral("ZoomWide"), QStringLiteral("ZoomStop"));
}

void PtzCommands::onZoomInReleased()
{
    qDebug() << "Zoom In release";
    endDrive(QStringLiteral("ZoomStop"));
}

void PtzCommands::onFocusPlusPressed()
{
    qDebug() << "Focus Plus Pressed";
    startDrive(QStringLiteral("FocusNear"), QStringLiteral("FocusStop"));
}

void PtzCommands::onFocusPlusReleased()
{
    qDebug() << "Focus Plus Released";
    endDrive(QStringLiteral("FocusStop"));
}

void PtzCommands::onFocusMinusPressed()
{
    qDebug() << "Focus Minus Pressed";
    startDrive(QStringLiteral("FocusFar"), QStringLiteral("FocusStop"));
}

void PtzCommands::onFocusMinusReleased()
{
    qDebug() << "Focus Minus Released";
    endDrive(QStringLiteral("FocusStop"));
}

void PtzCommands::onPTUpPressed()
{
    qDebug() << "pt Up Pressed";
    startDrive(cameraWord(QStringLiteral("Up")), QStringLiteral("Stop"));
}

void PtzCommands::onPTUpReleased()
{
    qDebug() << "pt Up Released";
    endDrive(QStringLiteral("Stop"));
}

void PtzCommands::onPTDownPressed()
{
    qDebug() << "pt Down Pressed";
    startDrive(cameraWord(QStringLiteral("Down")), QStringLiteral("Stop"));
}

void PtzCommands::onPTDownReleased()
{
    qDebug() << "pt Down Released";
    endDrive(QStringLiteral("Stop"));
}

void PtzCommands::onPTLeftPressed()
{
    qDebug() << "pt Left Pressed";
    startDrive(leftCommand(), QStringLiteral("Stop"));
}

void PtzCommands::onPTLeftReleased()
{
    qDebug() << "pt Left Released";
    endDrive(QStringLiteral("Stop"));
}

void PtzCommands::onPTRightPressed()
{
    qDebug() << "pt Right Pressed";
    startDrive(rightCommand(), QStringLiteral("Stop"));
}

void PtzCommands::onPTRightReleased()
{
    qDebug() << "pt Right Released";
    endDrive(QStringLiteral("Stop"));
}

void PtzCommands::onPTHomeClicked()
{
    qDebug() << "pt home click";
    sendPtzCommand(QStringLiteral("Gohome"));
}

void PtzCommands::onSpeedChanged(int value)
{
    qDebug() << "Speed changed to:" << value;
}

void PtzCommands::onPresetActionTriggered(int presetId, const QString &action)
{
    qDebug() << "Preset" << presetId << "action:" << action;
    QString command;
    if (action == QLatin1String("add"))
        command = QStringLiteral("Set");
    else if (action == QLatin1String("delete"))
        command = QStringLiteral("Del");
    else if (action == QLatin1String("call"))
        command = QStringLiteral("Call");
    else
        return;
    sendPresetCommand(command, presetId + kCameraPresetOffset);
}

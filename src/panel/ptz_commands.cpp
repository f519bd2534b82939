#include "ptz_commands.h"

#include "command_texts.h"
#include "device_models.h"

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

QString PtzCommands::leftCommand() const
{
    const bool swapped = m_context.currentModel && isPanReversedModel(*m_context.currentModel);
    return swapped ? QStringLiteral("Right") : QStringLiteral("Left");
}

QString PtzCommands::rightCommand() const
{
    const bool swapped = m_context.currentModel && isPanReversedModel(*m_context.currentModel);
    return swapped ? QStringLiteral("Left") : QStringLiteral("Right");
}

void PtzCommands::onZoomOutPressed()
{
    qDebug() << "Zoom Out Pressed";
    sendPtzCommand(QStringLiteral("ZoomTele"));
}

void PtzCommands::onZoomOutReleased()
{
    qDebug() << "Zoom Out Released";
    sendPtzCommand(QStringLiteral("ZoomStop"));
}

void PtzCommands::onZoomInPressed()
{
    qDebug() << "Zoom In press";
    sendPtzCommand(QStringLiteral("ZoomWide"));
}

void PtzCommands::onZoomInReleased()
{
    qDebug() << "Zoom In release";
    sendPtzCommand(QStringLiteral("ZoomStop"));
}

void PtzCommands::onFocusPlusPressed()
{
    qDebug() << "Focus Plus Pressed";
    sendPtzCommand(QStringLiteral("FocusNear"));
}

void PtzCommands::onFocusPlusReleased()
{
    qDebug() << "Focus Plus Released";
    sendPtzCommand(QStringLiteral("FocusStop"));
}

void PtzCommands::onFocusMinusPressed()
{
    qDebug() << "Focus Minus Pressed";
    sendPtzCommand(QStringLiteral("FocusFar"));
}

void PtzCommands::onFocusMinusReleased()
{
    qDebug() << "Focus Minus Released";
    sendPtzCommand(QStringLiteral("FocusStop"));
}

void PtzCommands::onPTUpPressed()
{
    qDebug() << "pt Up Pressed";
    sendPtzCommand(QStringLiteral("Down"));
}

void PtzCommands::onPTUpReleased()
{
    qDebug() << "pt Up Released";
    sendPtzCommand(QStringLiteral("Stop"));
}

void PtzCommands::onPTDownPressed()
{
    qDebug() << "pt Down Pressed";
    sendPtzCommand(QStringLiteral("Up"));
}

void PtzCommands::onPTDownReleased()
{
    qDebug() << "pt Down Released";
    sendPtzCommand(QStringLiteral("Stop"));
}

void PtzCommands::onPTLeftPressed()
{
    qDebug() << "pt Left Pressed";
    sendPtzCommand(leftCommand());
}

void PtzCommands::onPTLeftReleased()
{
    qDebug() << "pt Left Released";
    sendPtzCommand(QStringLiteral("Stop"));
}

void PtzCommands::onPTRightPressed()
{
    qDebug() << "pt Right Pressed";
    sendPtzCommand(rightCommand());
}

void PtzCommands::onPTRightReleased()
{
    qDebug() << "pt Right Released";
    sendPtzCommand(QStringLiteral("Stop"));
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

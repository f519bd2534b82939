#pragma once

#include <QtGlobal>

// Packet command ids of the request header.
enum PacketCmd : quint32 {
    CmdUpgradeData = 3004,
    CmdUpgradeRequest = 30001008,
    CmdSetDeviceName = 40001082,
    CmdReboot = 40001086,
    CmdGetParam = 40001089,
    CmdSetVideoParam = 40001090,
    CmdSetDefaultParam = 40001093,
    CmdJson = 40001006,
    CmdGetDeviceInfo = 40001117,
    CmdGetUpgradeStatus = 40001207,
};

// Requests of these ids carry no payload; every other request carries a text.
inline bool packetCarriesNoPayload(quint32 cmdId)
{
    return cmdId == CmdReboot || cmdId == CmdGetDeviceInfo || cmdId == CmdGetUpgradeStatus;
}

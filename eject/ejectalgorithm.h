#ifndef EJECTALGORITHM_H
#define EJECTALGORITHM_H

#include "ejectsystem.h"

#include <cstdint>
#include <string>

// The safe removal of one drive, the same on every system: from the volume to its storage
// device number, from that to the present disk (or CD-ROM) device with the same number, and
// from there to the parent device node, which is ejected or removed in up to three attempts.

namespace EjectResult
{
constexpr std::uint32_t ejected = 0;
constexpr std::uint32_t volumeNotOpened = 2;
constexpr std::uint32_t noDeviceNumber = 3;
constexpr std::uint32_t noDevice = 4;
constexpr std::uint32_t refused = 5;
}

// The console messages, byte for byte: "/n" is a slash and an n, and no line break follows.
namespace EjectMessage
{
constexpr char success[] = "Success/n/n";
constexpr char failed[] = "failed/n";
constexpr char resultFormat[] = "Result=0x%2X/n";
constexpr char vetoNameFormat[] = "VetoName=%ws)/n/n";
}

// `drive` is the drive in the local 8-bit encoding, as the system layer names volumes by it:
// one letter on Windows. Returns a code of EjectResult; only the attempts print.
std::uint32_t ejectDrive(EjectSystem &system, const std::string &drive);

// The present device whose storage device number is `deviceNumber`, looked up among the
// interfaces that suit `driveType`; 0 when there is none.
EjectSystem::DeviceInstance findDiskDeviceInstance(EjectSystem &system, std::uint32_t deviceNumber,
                                                   std::uint32_t driveType);

#endif // EJECTALGORITHM_H

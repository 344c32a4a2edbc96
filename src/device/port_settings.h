#pragma once
// Which serial device the program opens, and the texts around opening it.

#include <optional>
#include <string>

#include "core/messages.h"
#include "core/program_settings.h"

namespace device {

// "COMn" on Windows, "/dev/ttyS(n-1)" elsewhere.
std::string DefaultPortName(int comPort);

// The device to open: the command line's --port, else the setting PortName
// (section GLOBAL), else the device of ComPort.
std::string ChoosePortName(const core::ProgramSettings& settings, const std::optional<std::string>& override);

// The baud rate of the connection type (the settings loader has already
// applied it to Rate; this is for callers that change the type).
int BaudRate(const core::ProgramSettings& settings);

// "Otváram COM port" + ComPort + "..." (the main window's first text line).
std::string OpeningPortLine(const core::MessageCatalogue& messages, int comPort);

// "Nie je možné otvoriť COM port" + "\r" (at start) or "\r\r" (after the
// settings dialog) + "Nastavte správny COMPORT v MENU Služby - Nastavenia programu".
std::string PortOpenFailureMessage(const core::MessageCatalogue& messages, bool afterSettingsChange);

}  // namespace device

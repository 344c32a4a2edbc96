#include "device/port_settings.h"

namespace device {

std::string DefaultPortName(int comPort) {
#ifdef _WIN32
  return "COM" + std::to_string(comPort);
#else
  return "/dev/ttyS" + std::to_string(comPort - 1);
#endif
}

std::string ChoosePortName(const core::ProgramSettings& settings, const std::optional<std::string>& override) {
  if (override && !override->empty()) return *override;
  if (!settings.PortName.empty()) return settings.PortName;
  return DefaultPortName(settings.ComPort);
}

int BaudRate(const core::ProgramSettings& settings) { return core::RateForType(settings.type, settings.Rate); }

std::string OpeningPortLine(const core::MessageCatalogue& messages, int comPort) {
  return messages.message(core::msg::OpeningComPort) + std::to_string(comPort) + "...";
}

std::string PortOpenFailureMessage(const core::MessageCatalogue& messages, bool afterSettingsChange) {
  return messages.message(core::msg::CannotOpenComPort) + (afterSettingsChange ? "\r\r" : "\r") +
         messages.message(core::msg::SetComPort);
}

}  // namespace device

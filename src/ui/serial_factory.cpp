#include "ui/device_worker.h"

#ifdef VORTANE_WIN32_SERIAL
#include "device/win32/serial_transport.h"
#else
#include "device/qt/serial_transport.h"
#endif

namespace ui {

TransportFactory SerialTransportFactory() {
  return [](const PortRequest& request) -> std::unique_ptr<device::Transport> {
#ifdef VORTANE_WIN32_SERIAL
    auto port = std::make_unique<device::Win32SerialTransport>();
#else
    auto port = std::make_unique<device::SerialTransport>();
#endif
    if (!port->open(request.name, request.rate)) return nullptr;
    return port;
  };
}

}  // namespace ui

#include "device/qt/serial_transport.h"
#include "ui/device_worker.h"

namespace ui {

TransportFactory SerialTransportFactory() {
  return [](const PortRequest& request) -> std::unique_ptr<device::Transport> {
    auto port = std::make_unique<device::SerialTransport>();
    if (!port->open(request.name, request.rate)) return nullptr;
    return port;
  };
}

}  // namespace ui

#include "ui/device_worker.h"

#if __has_include("device/qt/serial_transport.h")
#include "device/qt/serial_transport.h"
#define VORTANE_HAVE_SERIAL_TRANSPORT 1
#endif

namespace ui {

TransportFactory SerialTransportFactory() {
  return [](const PortRequest& request) -> std::unique_ptr<device::Transport> {
#ifdef VORTANE_HAVE_SERIAL_TRANSPORT
    (void)request;
    return nullptr;
#else
    (void)request;
    return nullptr;
#endif
  };
}

}  // namespace ui

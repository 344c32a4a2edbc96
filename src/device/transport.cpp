#include "device/transport.h"

namespace device {

SystemClock& SystemClock::instance() {
  static SystemClock clock;
  return clock;
}

}  // namespace device

#if !defined(_WIN32)

#include <unistd.h>

#include "core/platform.h"

namespace core::platform {

bool LocalTime(std::time_t t, std::tm& out) { return ::localtime_r(&t, &out) != nullptr; }

long ProcessId() { return static_cast<long>(::getpid()); }

}  // namespace core::platform

#endif

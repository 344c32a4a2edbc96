// The initialization-file reader on arbitrary bytes: reads never fail, a
// written value reads back, and writing the parsed file is stable.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  core::IniFile ini = core::IniFile::fromBytes(input);

  (void)ini.hasSection("GLOBAL");
  (void)ini.readString("GLOBAL", "LOGDIR", "Log\\");
  (void)ini.readInt("CALC", "corrtime", 5);
  (void)ini.readFlag("CALC", "dovprflag", false);
  (void)ini.readTime("CALC", "normaPD", core::TimeOfDay::fromHm(8, 30));
  if (auto v = ini.value("PARTNER", "meno"); v && v->size() > 4 * core::IniFile::kMaxValueChars) __builtin_trap();

  const std::string first = ini.toBytes();
  if (!ini.truncated() && core::IniFile::fromBytes(first).toBytes() != first) __builtin_trap();

  ini.setValue("REQPTR", "4711", "1234");
  ini.setValue("calc", "CORRTIME", "0x10");
  if (ini.readInt("reqptr", "4711", -1) != 1234) __builtin_trap();
  if (ini.readInt("CALC", "corrtime", -1) != 16) __builtin_trap();
  const core::IniFile again = core::IniFile::fromBytes(ini.toBytes());
  if (!again.truncated() && again.readInt("REQPTR", "4711", -1) != 1234) __builtin_trap();
  return 0;
}

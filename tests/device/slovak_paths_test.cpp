// The files the terminal side writes, in a program folder "Dochádzka" of a
// user "Ján": the presence status stav.bin and the transfer pointer in
// vortane.ini.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/path_text.h"
#include "core/program_settings.h"
#include "core/time_values.h"
#include "device/presence.h"
#include "device/transfer.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using core::PathFromUtf8;

TEST(SlovakProgramFolder, PresenceAndTransferPointerStoredAndReadBack) {
  testing_support::TempDir temp;
  testing_support::ScopedUserFolder userFolder(temp.path() / PathFromUtf8("Ján"));
  core::ProgramDirectory dir;
  dir.dir = temp.path() / PathFromUtf8("Dochádzka") / "";
  fs::create_directories(dir.dir);
  testing_support::WriteCp1250(dir.iniFile(), "[GLOBAL]\r\nComPort=1\r\n");

  const core::EmployeeList employees = testing_support::MakeEmployees({{"Ján Kováč", 321, ""}, {"Žofia", 12, ""}});
  device::PresenceStatus presence;
  presence.InitPresence(employees, core::DateTime::fromParts(2021, 4, 7, 6, 0, 0));
  presence.UpdatePresence(321, core::DateTime::fromParts(2021, 4, 7, 7, 58, 0), 0);
  std::string error;
  ASSERT_TRUE(presence.SavePresence(dir.presenceFile(), &error)) << error;
  device::PresenceStatus back;
  back.InitPresence(employees, core::DateTime::fromParts(2021, 4, 8, 6, 0, 0));
  EXPECT_EQ(back.LoadPresence(dir.presenceFile()), 2u);
  EXPECT_EQ(back.entries(), presence.entries());

  ASSERT_TRUE(device::StoreTransferPointer(dir.iniFile(), 4711, 1234));
  EXPECT_EQ(device::ReadTransferPointer(dir.iniFile(), 4711), 1234);
  EXPECT_EQ(device::ReadTransferPointer(dir.iniFile(), 4712), -1);
  EXPECT_NE(testing_support::ReadCp1250(dir.iniFile()).find("ComPort=1"), std::string::npos);
}

}  // namespace

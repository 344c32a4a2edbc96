#include "core/error_text.h"

#include "core/path_text.h"

namespace core {

std::string ReasonText(std::error_code ec) {
  if (!ec) return {};
  // Compared as portable conditions, so the same reasons read the same on
  // every system.
  static const struct {
    std::errc condition;
    const char* text;
  } kReasons[] = {
      {std::errc::no_such_file_or_directory, "súbor alebo priečinok neexistuje"},
      {std::errc::is_a_directory, "na tom mieste je priečinok"},
      {std::errc::not_a_directory, "časť cesty nie je priečinok"},
      {std::errc::permission_denied, "prístup bol odmietnutý"},
      {std::errc::operation_not_permitted, "operácia nie je povolená"},
      {std::errc::read_only_file_system, "disk je len na čítanie"},
      {std::errc::no_space_on_device, "disk je plný"},
      {std::errc::file_exists, "súbor už existuje"},
      {std::errc::device_or_resource_busy, "súbor používa iný program"},
      {std::errc::text_file_busy, "súbor používa iný program"},
      {std::errc::filename_too_long, "názov súboru je príliš dlhý"},
      {std::errc::too_many_files_open, "otvorených súborov je priveľa"},
      {std::errc::io_error, "chyba vstupu/výstupu"},
      {std::errc::file_too_large, "súbor je príliš veľký"},
      {std::errc::no_lock_available, "súbor zamkol iný program"},
      {std::errc::invalid_argument, "neplatný názov alebo hodnota"},
  };
  for (const auto& r : kReasons) {
    if (ec == r.condition) return r.text;
  }
  return ec.message();
}

std::string FileErrorText(FileAction action, const std::filesystem::path& path, const std::string& reason) {
  const char* verb = "";
  switch (action) {
    case FileAction::Create:
      verb = "vytvoriť";
      break;
    case FileAction::Write:
      verb = "zapísať";
      break;
    case FileAction::Replace:
      verb = "nahradiť";
      break;
    case FileAction::Open:
      verb = "otvoriť";
      break;
    case FileAction::Read:
      verb = "čítať";
      break;
    case FileAction::Lock:
      verb = "zamknúť";
      break;
  }
  std::string text = std::string("Nie je možné ") + verb + " súbor " + DisplayPath(path);
  if (!reason.empty()) text += ": " + reason;
  return text;
}

}  // namespace core

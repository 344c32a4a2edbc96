#pragma once
// The message catalogue: messages, main-menu captions and short day names by
// number, with built-in Slovak defaults that a language file can replace.

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace core {

class IniFile;

class MessageCatalogue {
 public:
  static constexpr int kMessages = 40;
  static constexpr int kMenus = 30;
  static constexpr int kDays = 7;

  MessageCatalogue();  // the defaults

  // Defaults first; then, when the language file exists, every key of
  // AMESSAGES (Lmess1..40), AMENUS (LMenu1..30) and ACONSTSTR (LCSTR1..7)
  // found there replaces its entry (an empty value gives an empty text).
  void load(const std::filesystem::path& languageFile);
  // The same from the language file's bytes (Windows-1250).
  void loadFromBytes(std::string_view bytes);

  // 1-based; numbers outside the table give an empty text.
  const std::string& message(int n) const;
  const std::string& menu(int n) const;
  // 1 = Sunday .. 7 = Saturday ("Ned", "Pon", ...).
  const std::string& dayName(int weekday) const;

 private:
  void resetToDefaults();
  void apply(const IniFile& ini);

  std::array<std::string, kMessages> m_messages;
  std::array<std::string, kMenus> m_menus;
  std::array<std::string, kDays> m_days;
};

// Message numbers used by name in the code.
namespace msg {
inline constexpr int NoIniFile = 1;
inline constexpr int EmptyEmployeeList = 2;
inline constexpr int OpeningComPort = 3;
inline constexpr int CannotOpenComPort = 4;
inline constexpr int SetComPort = 5;
inline constexpr int TerminalNotCommunicating = 6;
inline constexpr int ConnectTerminal = 7;
inline constexpr int TransferError = 8;
inline constexpr int PointerError = 9;
inline constexpr int PresentCard = 10;
inline constexpr int TransferTitle = 13;
inline constexpr int TransferCountPrompt = 14;
inline constexpr int MaxTransfer = 15;
inline constexpr int RecordsSuffix = 16;
inline constexpr int FirstTransfer = 17;
inline constexpr int CannotTellNew = 18;
inline constexpr int NoNewRecords = 19;
inline constexpr int NotConfirmed = 20;
inline constexpr int ConnectVortane = 21;
inline constexpr int NoEmployeeFile = 22;
inline constexpr int Reinstall = 23;
inline constexpr int ServiceTitle = 25;
inline constexpr int ServicePassword = 26;
inline constexpr int NewCardTitle = 29;
inline constexpr int NewCardPrompt = 30;
inline constexpr int BadHolidayDate = 31;
inline constexpr int DirectoryPrefix = 37;
inline constexpr int DirectoryMissing = 38;
inline constexpr int CannotOpenLogDir = 39;
inline constexpr int Monday = 40;
}  // namespace msg

}  // namespace core

#include "core/messages.h"

#include "core/ini_file.h"

namespace core {
namespace {

// Entries without a text are kept empty: their numbers are reserved in the
// language file but no window shows them.
const char* const kDefaultMessages[MessageCatalogue::kMessages] = {
    "Neexistuje subor: <vortane.ini>",                                                // 1
    "POZOR zoznam pracovníkov je prázdny",                                            // 2
    "Otváram COM port",                                                               // 3
    "Nie je možné otvoriť COM port",                                                  // 4
    "Nastavte správny COMPORT v MENU Služby - Nastavenia programu",                   // 5
    "Prístroj nekomunikuje, prekontrolujte pripojenie, nastavte správny COM port",    // 6
    "Pripojte prístroj na PC",                                                        // 7
    "CHYBA! Nie je možné preniesť záznamy o dochádzke z prístroja",                   // 8
    "prístroj má chybu v ukazovateli záznamov",                                       // 9
    "Priložte kartu a stlačte príchod/odchod tlačidlo",                               // 10
    "",                                                                               // 11
    "",                                                                               // 12
    "Prenos záznamov",                                                                // 13
    "Zadajte počet záznamov, ktoré chcete preniesť",                                  // 14
    "Maximálne je možné preniesť",                                                    // 15
    " záznamov",                                                                      // 16
    "POZOR prvýkrát ste na tomto PC použili prenos najnovších záznamov z prístroja",  // 17
    "Nie je možné určiť koľko je nových záznamov o dochádzke v prístroji",            // 18
    "V prístroji nie sú žiadne nové záznamy o dochádzke",                             // 19
    "Pristroj nepotvrdil, opakujte akciu",                                            // 20
    "Pripojte VORTANE na COM Port",                                                   // 21
    "POZOR súbor pracovníkov: <prac.txt> neexistuje",                                 // 22
    "Preinštalujte program",                                                          // 23
    "",                                                                               // 24
    "Servisné funkcie",                                                               // 25
    "Prosím Heslo",                                                                   // 26
    "",                                                                               // 27
    "",                                                                               // 28
    "Nová Karta",                                                                     // 29
    "Uveďte meno pracovníka",                                                         // 30
    "Nesprávny dátum v súbore <sviatky.txt>",                                         // 31
    "",                                                                               // 32
    "",                                                                               // 33
    "",                                                                               // 34
    "",                                                                               // 35
    "",                                                                               // 36
    "Adresár ",                                                                       // 37
    "pre zaznamy neexistuje",                                                         // 38
    "Nie je možné otvoriť adresár /LOG, závažná chyba",                               // 39
    "Pondelok",                                                                       // 40
};

const char* const kDefaultMenus[MessageCatalogue::kMenus] = {
    "&Súbor",                          // 1  Sbor1
    "Výkaz Dochádzky",                 // 2  Vkaz1
    "Zoznam pracovníkov",              // 3  Zoznamkov1
    "Stav pracovníkov",                // 4  Stav1
    "&Koniec",                         // 5  N7koniec1
    "Skryť",                           // 6  Skry1
    "Úpr&avy",                         // 7  pravy1
    "Kopírovať",                       // 8  Koprova1
    "Označiť všetko",                  // 9  Oznavetko1
    "Hľadať",                          // 10 Hada1
    "S&lužby",                         // 11 nastavi1
    "Prenos len nové záznamy",         // 12 Prenieslennovzznamy1
    "Preniesť počet záznamov",         // 13 Prenoszznamov1
    "Preniesť všetky záznamy",         // 14 Preniesvetkyzznamy1
    "Nastaviť čas prístroja",          // 15 asprstroja1
    "Nastavenia programu",             // 16 Nastaveniaprogramu1
    "Ukázať panel sledovanie kariet",  // 17 Ukzapanelsledovaniekariet1
    "Hodinová kalkulačka",             // 18 Hodinovkalkulaka1
    "&Pomoc",                          // 19 pomoc1
    "&O programe",                     // 20 Oprograme1
    "&HELP",                           // 21
    "&Tip dňa",                        // 22
    "",                                // 23
    "&Tip",                            // 24
    "Ukázať panel VORTANE",            // 25 UkzapanelVORTANE1 (tray)
    "Stav pracovníkov",                // 26 Stavpracovnkov1 (tray)
    "E&xit",                           // 27 Exit1 (tray)
    "Označiť všetko",                  // 28 Oznavetko2 (log view pop-up)
    "Hľadať",                          // 29 Hada2
    "Kopírovať",                       // 30 Koprova2
};

const char* const kDefaultDays[MessageCatalogue::kDays] = {"Ned", "Pon", "Uto", "Str", "Stv", "Pia", "Sob"};

const std::string kEmpty;

}  // namespace

MessageCatalogue::MessageCatalogue() { resetToDefaults(); }

void MessageCatalogue::resetToDefaults() {
  for (int i = 0; i < kMessages; ++i) m_messages[static_cast<std::size_t>(i)] = kDefaultMessages[i];
  for (int i = 0; i < kMenus; ++i) m_menus[static_cast<std::size_t>(i)] = kDefaultMenus[i];
  for (int i = 0; i < kDays; ++i) m_days[static_cast<std::size_t>(i)] = kDefaultDays[i];
}

void MessageCatalogue::load(const std::filesystem::path& languageFile) {
  resetToDefaults();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(languageFile, ec)) return;
  apply(IniFile::load(languageFile));
}

void MessageCatalogue::loadFromBytes(std::string_view bytes) {
  resetToDefaults();
  apply(IniFile::fromBytes(bytes));
}

void MessageCatalogue::apply(const IniFile& ini) {
  // A key that is present replaces the text, even with an empty value; a
  // missing key keeps what the entry holds.
  for (int n = 1; n <= kMessages; ++n) {
    if (auto v = ini.value("AMESSAGES", "Lmess" + std::to_string(n))) m_messages[static_cast<std::size_t>(n - 1)] = *v;
  }
  for (int n = 1; n <= kMenus; ++n) {
    if (auto v = ini.value("AMENUS", "LMenu" + std::to_string(n))) m_menus[static_cast<std::size_t>(n - 1)] = *v;
  }
  for (int n = 1; n <= kDays; ++n) {
    if (auto v = ini.value("ACONSTSTR", "LCSTR" + std::to_string(n))) m_days[static_cast<std::size_t>(n - 1)] = *v;
  }
}

const std::string& MessageCatalogue::message(int n) const {
  if (n < 1 || n > kMessages) return kEmpty;
  return m_messages[static_cast<std::size_t>(n - 1)];
}

const std::string& MessageCatalogue::menu(int n) const {
  if (n < 1 || n > kMenus) return kEmpty;
  return m_menus[static_cast<std::size_t>(n - 1)];
}

const std::string& MessageCatalogue::dayName(int weekday) const {
  if (weekday < 1 || weekday > kDays) return kEmpty;
  return m_days[static_cast<std::size_t>(weekday - 1)];
}

}  // namespace core

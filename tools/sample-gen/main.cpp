// sample-gen: writes a demo program directory for a small company of fifteen
// employees and three months (September to November 2026) of registrations,
// as the terminal would have delivered them. Every run writes the same bytes:
// the "random" variation comes from a fixed seed.
//
// usage: sample-gen OUTDIR

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/atomic_file.h"
#include "core/employee_list.h"
#include "core/holiday_calendar.h"
#include "core/messages.h"
#include "core/month_log.h"
#include "core/path_text.h"
#include "core/record_types.h"
#include "core/text_codec.h"
#include "core/text_util.h"
#include "core/time_values.h"

namespace {

namespace fs = std::filesystem;
using core::CivilDate;
using core::DateTime;

// Text with "\n" line ends, written as Windows-1250 with CR LF.
bool WriteText(const fs::path& file, const std::string& utf8) {
  const std::string crlf = core::replaceAll(utf8, "\n", "\r\n");
  bool lossy = false;
  const std::string bytes = core::Utf8ToCp1250(crlf, &lossy);
  if (lossy) {
    std::fprintf(stderr, "sample-gen: %s has characters outside Windows-1250\n", core::DisplayPath(file).c_str());
    return false;
  }
  std::string error;
  if (!core::WriteFileAtomically(file, bytes, &error)) {
    std::fprintf(stderr, "sample-gen: %s: %s\n", core::DisplayPath(file).c_str(), error.c_str());
    return false;
  }
  return true;
}

const char* const kIni = R"([GLOBAL]
ComPort=1
Rate=19200
type=0
CHGINOUT=0
TESTBAT=1
AUTODNL=0
MINIMALIZE=0
[CALC]
okrpr=1
okrod=0
okrsm=0
ZAOKRPROD=1
startDS=6:00:00
stopDS=14:00:00
startPS=14:00:00
stopPS=22:00:00
startNS=22:00:00
stopNS=6:00:00
USEDS=1
USEPS=1
USENS=1
normaPD=8:00:00
autoSL=1
autodov=1
autoPN=1
autoprek=1
dovflag=1
dovPRflag=0
dovODflag=0
dovPR=7:30:00
dovOD=15:30:00
maxPDflag=1
maxPD=13:00:00
startPDflag=1
startPD=5:45:00
stopPDflag=0
stopPD=20:00:00
obedyflag=0
obedcas=30
obedodpocet=1
weekendflag=1
nightflag=1
startSLflag=1
stopSLflag=1
startSL=7:30:00
stopSL=15:30:00
SetPrestCond=360
startLEKflag=1
stopLEKflag=1
startLEK=7:30:00
stopLEK=15:00:00
corrtime=5
[PARTNER]
NAME=Dochádzkové systémy s.r.o.
LOCATION=Hlavná 12, 010 01 Žilina
TEL=+421 41 555 0100
FAX=+421 41 555 0101
EMAIL=servis@dochadzka-demo.sk
WWW=www.dochadzka-demo.sk
)";

enum class Pattern { Office, Office730, HalfTime, Production, Shift };

struct Person {
  core::Employee e;
  Pattern pattern;
  int shiftGroup = 0;  // which shift a shift worker has in the first week
};

std::vector<Person> Staff() {
  auto p = [](const char* name, const char* pn, int card, const char* dept, bool shifts, bool trips,
              const char* workload, int breaks, Pattern pattern) {
    core::Employee e;
    e.name = name;
    e.personalNumber = pn;
    e.card = static_cast<std::uint16_t>(card);
    e.department = dept;
    e.shiftsAllowed = shifts;
    e.tripsAllowed = trips;
    e.workload = workload;
    e.breaks = breaks;
    return Person{e, pattern};
  };
  std::vector<Person> staff = {
      p("Ján Novák", "0001", 101, "Výroba", true, false, "100", 30, Pattern::Shift),
      p("Mária Horváthová", "0002", 102, "Účtovníctvo", false, false, "100", 30, Pattern::Office),
      p("Peter Kováč", "0003", 103, "Výroba", true, false, "100", 30, Pattern::Shift),
      p("Zuzana Vargová", "0004", 104, "Obchod", false, true, "100", 30, Pattern::Office),
      p("Michal Tóth", "0005", 105, "Obchod", false, true, "100", 30, Pattern::Office),
      p("Katarína Nagyová", "0006", 106, "Administratíva", false, false, "50", 15, Pattern::HalfTime),
      p("Tomáš Baláž", "0007", 107, "Sklad", false, false, "7:30", 30, Pattern::Office730),
      p("Lucia Molnárová", "0008", 108, "Účtovníctvo", false, false, "7:30", 30, Pattern::Office730),
      p("Martin Szabó", "0009", 109, "Výroba", true, false, "100", 30, Pattern::Shift),
      p("Jana Lukáčová", "0010", 110, "Administratíva", false, false, "50", 0, Pattern::HalfTime),
      p("Ľubomír Šťastný", "0011", 111, "Vedenie", false, true, "100", 30, Pattern::Office),
      p("Eva Kráľová", "0012", 112, "Sklad", false, false, "100", 30, Pattern::Production),
      p("Róbert Čierny", "0013", 113, "Údržba", true, true, "100", 20, Pattern::Shift),
      p("Andrea Ďuricová", "0014", 114, "Obchod", false, true, "7:30", 30, Pattern::Office730),
      p("Jozef Šimko", "0015", 115, "Údržba", false, false, "100", 30, Pattern::Production),
  };
  int group = 0;
  for (auto& person : staff) {
    if (person.pattern == Pattern::Shift) person.shiftGroup = group++;
  }
  return staff;
}

CivilDate Easter(int y) {
  const int a = y % 19, b = y / 100, c = y % 100, d = b / 4, e = b % 4, f = (b + 8) / 25, g = (b - f + 1) / 3;
  const int h = (19 * a + b - d - g + 15) % 30, i = c / 4, k = c % 4, l = (32 + 2 * e + 2 * i - h - k) % 7;
  const int m = (a + 11 * h + 22 * l) / 451;
  return CivilDate{y, (h + l - 7 * m + 114) / 31, (h + l - 7 * m + 114) % 31 + 1};
}

std::string DateText(const CivilDate& d) {
  return std::to_string(d.day) + "." + std::to_string(d.month) + "." + std::to_string(d.year);
}

std::string Holidays() {
  std::string s =
      "; Štátne sviatky a dni pracovného pokoja v Slovenskej republike\n"
      "; Dátum s rokom pred 2000 platí každý rok, neskorší len v danom roku.\n"
      "; Riadok s bodkočiarkou je poznámka. Prázdny riadok ukončí čítanie.\n";
  const std::pair<const char*, const char*> fixed[] = {
      {"Deň vzniku Slovenskej republiky", "1.1.1900"},
      {"Zjavenie Pána (Traja králi)", "6.1.1900"},
      {"Sviatok práce", "1.5.1900"},
      {"Deň víťazstva nad fašizmom", "8.5.1900"},
      {"Sviatok svätého Cyrila a Metoda", "5.7.1900"},
      {"Výročie SNP", "29.8.1900"},
      {"Deň Ústavy Slovenskej republiky (overte, či je v danom roku dňom pracovného pokoja)", "1.9.1900"},
      {"Sedembolestná Panna Mária", "15.9.1900"},
      {"Sviatok všetkých svätých", "1.11.1900"},
      {"Deň boja za slobodu a demokraciu (overte, či je v danom roku dňom pracovného pokoja)", "17.11.1900"},
      {"Štedrý deň", "24.12.1900"},
      {"Prvý sviatok vianočný", "25.12.1900"},
      {"Druhý sviatok vianočný", "26.12.1900"},
  };
  for (const auto& [name, date] : fixed) s += std::string("; ") + name + "\n" + date + "\n";
  s += "; Veľký piatok a Veľkonočný pondelok\n";
  for (int y = 2024; y <= 2028; ++y) {
    const CivilDate sunday = Easter(y);
    const DateTime e = DateTime::fromDate(sunday);
    s += DateText(e.addSeconds(-2 * 86400).date()) + "\n";
    s += DateText(e.addSeconds(1 * 86400).date()) + "\n";
  }
  return s;
}

const char* const kTips = R"([DAY1]
Nové záznamy z prístroja prenesiete cez Služby - Prenos len nové záznamy.
Pri pevnom pripojení (RS485) ich program môže prenášať automaticky.
[DAY2]
Zamestnanec, ktorý priloží neznámu kartu, sa v hlavnom okne zobrazí ako číslo v hranatých zátvorkách.
Program sa vás opýta na meno a kartu pridá do zoznamu pracovníkov.
[DAY3]
Ak sa pracovník pri registrácii pomýli v type (napr. Lekár namiesto Obed),
stačí sa do 5 minút zaregistrovať znova so správnym typom: platí posledná registrácia.
[DAY4]
Sviatky sa zadávajú v súbore sviatky.txt v adresári programu.
Dátum s rokom 1900 platí každý rok.
[KARTA1]
V karte pracovníka upravíte bunku klávesom F2.
Bunka, ktorá obsahuje znak "=", je ručne zadaná a výpočet ju už nezmení.
[KARTA2]
Rýchle zadanie dovolenky: označte dni a zvoľte Dovolenka z miestnej ponuky.
[KARTA3]
Kartu uložíte do súboru .dok a neskôr ju znovu otvoríte bez prepočtu.
[TABDOCH1]
Súhrnný výkaz spočíta všetkých pracovníkov za zvolený mesiac.
Pred výpočtom sa znovu načíta zoznam pracovníkov aj sviatky.
[TABDOCH2]
Výkaz môžete exportovať do tabuľkového procesora alebo uložiť ako súbor .zdr.
)";

const char* const kLanguage = R"(; Anglický preklad ponúk a názvov dní (príklad jazykového súboru)
[AMENUS]
LMenu1=&File
LMenu2=Attendance sheet
LMenu3=Employee list
LMenu4=Employee status
LMenu5=E&xit
LMenu6=Hide
LMenu7=&Edit
LMenu8=Copy
LMenu9=Select all
LMenu10=Find
LMenu11=&Tools
LMenu12=Transfer new records only
LMenu13=Transfer a number of records
LMenu14=Transfer all records
LMenu15=Set terminal clock
LMenu16=Program settings
LMenu17=Show card tracking panel
LMenu18=Hours calculator
LMenu19=&Help
LMenu20=&About
LMenu21=&HELP
LMenu22=&Tip of the day
LMenu24=&Tip
LMenu25=Show VORTANE panel
LMenu26=Employee status
LMenu27=E&xit
LMenu28=Select all
LMenu29=Find
LMenu30=Copy
[ACONSTSTR]
LCSTR1=Sun
LCSTR2=Mon
LCSTR3=Tue
LCSTR4=Wed
LCSTR5=Thu
LCSTR6=Fri
LCSTR7=Sat
)";

const char* const kHelp = R"(<!DOCTYPE html>
<html lang="sk">
<head>
<meta charset="windows-1250">
<title>Dochádzka - pomoc</title>
</head>
<body>
<h1>Dochádzkový systém</h1>
<p>Program prenáša registrácie príchodov a odchodov z dochádzkového terminálu
do mesačných záznamov a z nich počíta karty pracovníkov a súhrnný výkaz.</p>
<h2>Súbory v adresári programu</h2>
<ul>
<li><b>vortane.ini</b> - nastavenia programu</li>
<li><b>prac.txt</b> - zoznam pracovníkov</li>
<li><b>sviatky.txt</b> - sviatky</li>
<li><b>Log\</b> - mesačné záznamy registrácií (napr. 9_2026.txt)</li>
</ul>
<h2>Typy registrácií</h2>
<p>0 Normálny, 1 Služobne, 2 Služobná cesta, 3 Služobne do zahraničia, 4 Obed,
5 Lekár, 6 Prekážky, 7 PN, 8 Dovolenka, 9 Neplatené voľno.</p>

<h2 id="karta">Dochádzkový list (karta pracovníka)</h2>
<p>Dochádzkový list ukazuje mesiac jedného pracovníka: vľavo jeho údaje a súčty
mesiaca, vpravo jeden riadok na každý deň s registráciami (stĺpec Dochádzka),
výsledkom dňa (Výsledok) a poznámkou (Poznámka), kam robot píše varovania.</p>
<ol>
<li>V nástrojovej lište vyberte meno pracovníka, mesiac a rok.</li>
<li>Stlačte <b>Spustiť robota</b> (Ctrl+R). Robot prečíta mesačný záznam a vyplní dni aj súčty.</li>
<li>Skontrolujte dni s poznámkou (napríklad „Nedal odchod“ alebo „Dva prichody za sebou“).</li>
</ol>
<h3>Ako opraviť deň</h3>
<p>Vyberte bunku dňa v stĺpci Výsledok a napíšte nový výsledok (F2 alebo dvojklik
otvorí úpravu, Enter ju potvrdí), napríklad <code>=8:00</code> alebo
<code>SC 8:00 PN 2:00</code>. Súčty vľavo sa prepočítajú hneď. Výsledok so znakom
<b>=</b> robot pri ďalšom spustení neprepíše; výsledok bez neho prepíše.
Pravé tlačidlo myši (alebo klávesa kontextovej ponuky) na bunke Výsledok ponúkne
hotové hodnoty: Odpracoval, Služobná, Dovolenka, PN, Lekár, Prekážky, Denná,
Poobedňajšia a Nočná smena. Ctrl+Z zmenu vráti, Ctrl+Y ju zopakuje.</p>
<p>Klávesy Ctrl+O, Ctrl+P a Ctrl+N: kým je v tabuľke vybraná bunka stĺpca Výsledok,
zapíšu Odpracoval, Poobedňajšiu a Nočnú smenu; inde otvoria súbor, vytlačia
list a založia nový list. Zoznam skratiek ukáže Ctrl+F1.</p>
<p>List uložíte príkazom <b>Uložiť</b> (súbor .dok); <b>Uložiť ako</b> ho zapíše aj ako
HTML, zošit Excel alebo CSV. <b>Vytlačiť</b> tlačí list na jednu stranu s riadkami pre
podpis pracovníka a vedúceho; v ponuke Súbor sa dajú vytlačiť listy všetkých
pracovníkov mesiaca naraz.</p>

<h2 id="vykaz">Súhrnný výkaz dochádzky</h2>
<p>Výkaz ukazuje mesiac všetkých pracovníkov v jednej tabuľke: riadok na pracovníka,
súčty mesiaca a stĺpec na každý deň. Po výbere mesiaca a roka stlačte <b>GO</b>;
výpočet sa dá zastaviť tlačidlom Zrušiť. Bunku dňa opravíte priamo v tabuľke,
v poli nad tabuľkou alebo pravým tlačidlom myši (ponuka kódov); riadok sa
prepočíta hneď. Kliknutím na bunku dňa sa vľavo ukážu registrácie pracovníka
v ten deň. Výkaz sa pri zatvorení uloží a pri ďalšom otvorení toho istého mesiaca
sa dá načítať späť. EXPORT tabulky ho zapíše do zošita Excel.</p>

<h2 id="zoznam_prac">Zoznam pracovníkov</h2>
<p>Tabuľka pracovníkov: meno, osobné číslo, číslo karty, oddelenie, povolené smeny
a služobné cesty, úväzok a zákonné prestávky. <b>Pridať</b> (Ctrl+N) otvorí okno
nového pracovníka, kde sa číslo karty dá načítať z prístroja (F2). Zmeny sa do
súboru prac.txt zapíšu až príkazom <b>Uložiť</b> (Ctrl+S).</p>

<h2 id="nastavenie_programu">Nastavenia programu</h2>
<p>Nastavenia robota (normy, zaokrúhľovanie, smeny, prestávky), adresár záznamov
a pripojenie prístroja. Hodnoty sa uložia tlačidlom OK.</p>
</body>
</html>
)";

// One registration at a time of day (seconds since that day's midnight, may
// pass midnight) with its recordCode.
struct Event {
  int second;
  int code;
};

int Hms(int h, int m, int s = 0) { return h * 3600 + m * 60 + s; }
constexpr int kArr = 0;  // arrival of a type: the type itself
int Dep(int type) { return core::recordCode(true, type); }

struct Scenario {
  int card;
  CivilDate date;
  std::vector<Event> events;
};

// Days without any registration (the absence itself is registered on the
// days around it).
struct Absence {
  int card;
  CivilDate from;
  CivilDate to;
};

const std::vector<Scenario>& Scenarios() {
  static const std::vector<Scenario> s = {
      // Vacation: last departure to vacation on Friday, back on Monday.
      {102,
       {2026, 9, 4},
       {{Hms(7, 26, 41), kArr}, {Hms(11, 52, 3), Dep(4)}, {Hms(12, 21, 40), 4}, {Hms(15, 58, 12), Dep(8)}}},
      {102,
       {2026, 9, 14},
       {{Hms(7, 31, 5), 8}, {Hms(12, 2, 33), Dep(4)}, {Hms(12, 30, 9), 4}, {Hms(16, 4, 51), Dep(0)}}},
      // Sick leave: leaves ill, returns a week later with a sick-leave arrival.
      {107, {2026, 10, 12}, {{Hms(7, 28, 14), kArr}, {Hms(9, 41, 2), Dep(7)}}},
      {107,
       {2026, 10, 19},
       {{Hms(7, 27, 55), 7}, {Hms(11, 45, 10), Dep(4)}, {Hms(12, 14, 31), 4}, {Hms(15, 31, 20), Dep(0)}}},
      // Business trip of three days.
      {104, {2026, 9, 22}, {{Hms(7, 35, 20), kArr}, {Hms(9, 14, 48), Dep(2)}}},
      {104, {2026, 9, 24}, {{Hms(16, 9, 30), 2}, {Hms(16, 41, 2), Dep(0)}}},
      // Trip abroad straight from home, back on the fourth day.
      {111, {2026, 10, 5}, {{Hms(7, 44, 10), Dep(3)}}},
      {111, {2026, 10, 8}, {{Hms(14, 2, 45), 3}, {Hms(17, 10, 5), Dep(0)}}},
      // One-day business trip.
      {114,
       {2026, 11, 10},
       {{Hms(7, 30, 2), kArr}, {Hms(10, 0, 41), Dep(2)}, {Hms(15, 2, 12), 2}, {Hms(15, 34, 50), Dep(0)}}},
      // Business errands.
      {105,
       {2026, 9, 9},
       {{Hms(7, 40, 1), kArr},
        {Hms(10, 2, 10), Dep(1)},
        {Hms(11, 31, 25), 1},
        {Hms(12, 5, 0), Dep(4)},
        {Hms(12, 36, 8), 4},
        {Hms(16, 10, 40), Dep(0)}}},
      {105,
       {2026, 10, 20},
       {{Hms(7, 38, 22), kArr}, {Hms(13, 15, 5), Dep(1)}, {Hms(15, 50, 33), 1}, {Hms(16, 12, 18), Dep(0)}}},
      // Doctor during the day, and arriving from the doctor.
      {112,
       {2026, 9, 16},
       {{Hms(5, 58, 30), kArr}, {Hms(10, 5, 12), Dep(5)}, {Hms(11, 40, 44), 5}, {Hms(14, 31, 2), Dep(0)}}},
      {115, {2026, 11, 3}, {{Hms(9, 45, 18), 5}, {Hms(14, 30, 55), Dep(0)}}},
      // Obstacle and unpaid leave.
      {110, {2026, 10, 21}, {{Hms(7, 58, 1), kArr}, {Hms(10, 0, 20), Dep(6)}}},
      {106, {2026, 11, 20}, {{Hms(8, 1, 40), kArr}, {Hms(9, 30, 2), Dep(9)}}},
      // Corrections: a second registration within the correction time.
      {103, {2026, 9, 10}, {{Hms(5, 52, 11), kArr}, {Hms(14, 2, 20), Dep(0)}, {Hms(14, 3, 5), Dep(0)}}},
      {102,
       {2026, 9, 29},
       {{Hms(7, 29, 0), kArr},
        {Hms(11, 58, 20), Dep(0)},
        {Hms(11, 59, 5), Dep(4)},
        {Hms(12, 27, 33), 4},
        {Hms(16, 1, 9), Dep(0)}}},
      {108, {2026, 10, 7}, {{Hms(9, 31, 10), kArr}, {Hms(9, 32, 0), 5}, {Hms(15, 30, 40), Dep(0)}}},
      // A missing departure.
      {112, {2026, 10, 14}, {{Hms(5, 57, 2), kArr}}},
      // Maintenance on a Saturday.
      {113, {2026, 10, 17}, {{Hms(7, 55, 40), kArr}, {Hms(12, 3, 10), Dep(0)}}},
  };
  return s;
}

const std::vector<Absence>& Absences() {
  static const std::vector<Absence> a = {
      {102, {2026, 9, 5}, {2026, 9, 13}},  {107, {2026, 10, 13}, {2026, 10, 18}}, {104, {2026, 9, 23}, {2026, 9, 23}},
      {111, {2026, 10, 6}, {2026, 10, 7}}, {110, {2026, 10, 22}, {2026, 10, 22}}, {106, {2026, 11, 23}, {2026, 11, 23}},
  };
  return a;
}

class Generator {
 public:
  explicit Generator(const core::HolidayCalendar& cal) : m_cal(cal), m_rng(20260901) {}

  int jitter(int range) { return static_cast<int>(m_rng() % static_cast<unsigned>(range)); }

  // A normal working day of the pattern; shift workers rotate weekly.
  std::vector<Event> normalDay(const Person& p, const CivilDate& d) {
    std::vector<Event> ev;
    auto around = [this](int h, int m, int spreadMin) {
      return Hms(h, m) + (jitter(2 * spreadMin * 60 + 1) - spreadMin * 60);
    };
    switch (p.pattern) {
      case Pattern::Office:
      case Pattern::Office730: {
        const int in = around(7, 30, 10);
        const int lunch = around(11, 55, 20);
        const int back = lunch + Hms(0, 24) + jitter(12 * 60);
        const int out = in + (p.pattern == Pattern::Office ? Hms(8, 30) : Hms(8, 0)) + jitter(20 * 60);
        ev = {{in, kArr}, {lunch, Dep(4)}, {back, 4}, {out, Dep(0)}};
        break;
      }
      case Pattern::HalfTime: {
        const int in = around(8, 0, 6);
        ev = {{in, kArr}, {in + Hms(4, 0) + jitter(10 * 60), Dep(0)}};
        break;
      }
      case Pattern::Production: {
        const int in = around(5, 55, 5);
        ev = {{in, kArr}, {Hms(14, 30) + jitter(8 * 60), Dep(0)}};
        break;
      }
      case Pattern::Shift: {
        // Week number since a Monday, shifted per worker so that every
        // shift is staffed: day, afternoon, night.
        const auto days = DateTime::fromDate(d).dayIndex() - DateTime::fromParts(2026, 8, 31).dayIndex();
        const int week = static_cast<int>(days / 7);
        const int shift = (week + p.shiftGroup) % 3;
        if (shift == 0)
          ev = {{around(5, 52, 5), kArr}, {Hms(14, 2) + jitter(6 * 60), Dep(0)}};
        else if (shift == 1)
          ev = {{around(13, 52, 5), kArr}, {Hms(22, 2) + jitter(6 * 60), Dep(0)}};
        else
          ev = {{around(21, 52, 5), kArr}, {Hms(24 + 6, 2) + jitter(6 * 60), Dep(0)}};
        break;
      }
    }
    return ev;
  }

  bool absent(int card, const CivilDate& d) const {
    for (const auto& a : Absences()) {
      if (a.card == card && !(d < a.from) && !(a.to < d)) return true;
    }
    return false;
  }

  void generate(const std::vector<Person>& staff, int year, int month, const CivilDate& lastGenerated,
                std::vector<core::AttendanceRecord>& out) {
    for (int day = 1; day <= core::DaysInMonth(month, year); ++day) {
      const CivilDate d{year, month, day};
      const DateTime midnight = DateTime::fromDate(d);
      for (const auto& p : staff) {
        std::vector<Event> ev;
        bool scripted = false;
        for (const auto& s : Scenarios()) {
          if (s.card == p.e.card && s.date == d) {
            ev = s.events;
            scripted = true;
          }
        }
        if (!scripted) {
          if (absent(p.e.card, d) || m_cal.isFreeDay(year, month, day)) continue;
          ev = normalDay(p, d);
        }
        for (const auto& e : ev) {
          const DateTime t = midnight.addSeconds(e.second);
          // A night shift that ends after the last generated day is left out whole.
          if (lastGenerated < t.date()) {
            ev.clear();
            break;
          }
        }
        for (const auto& e : ev) out.push_back({midnight.addSeconds(e.second), p.e.card, e.code});
      }
    }
  }

 private:
  const core::HolidayCalendar& m_cal;
  std::mt19937 m_rng;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sample-gen OUTDIR\n");
    return 2;
  }
  const fs::path out = core::PathFromUtf8(argv[1]);
  std::error_code ec;
  fs::create_directories(out / "Log", ec);
  fs::create_directories(out / "html", ec);
  if (!fs::is_directory(out / "Log") || !fs::is_directory(out / "html")) {
    std::fprintf(stderr, "sample-gen: cannot create %s\n", core::DisplayPath(out).c_str());
    return 1;
  }

  const auto staff = Staff();
  core::EmployeeList list;
  for (const auto& p : staff) {
    core::Employee e = p.e;
    e.workloadMinutes = core::WorkloadToMinutes(e.workload, 480);
    list.employees().push_back(e);
  }
  std::string error;
  bool ok = list.write(out / "prac.txt", &error);
  if (!ok) std::fprintf(stderr, "sample-gen: %s\n", error.c_str());

  const std::string holidays = Holidays();
  ok = WriteText(out / "vortane.ini", kIni) && ok;
  ok = WriteText(out / "sviatky.txt", holidays) && ok;
  ok = WriteText(out / "vortane.tip", kTips) && ok;
  ok = WriteText(out / "vortane.lng", kLanguage) && ok;
  ok = WriteText(out / "html" / "index.html", kHelp) && ok;

  core::HolidayCalendar cal;
  const core::MessageCatalogue messages;
  std::string calMessage;
  if (!cal.loadFromBytes(core::Utf8ToCp1250(holidays), 2026, messages, calMessage)) {
    std::fprintf(stderr, "sample-gen: holiday list does not load: %s\n", calMessage.c_str());
    return 1;
  }

  Generator gen(cal);
  std::vector<core::AttendanceRecord> records;
  const CivilDate last{2026, 11, 30};
  for (int month = 9; month <= 11; ++month) gen.generate(staff, 2026, month, last, records);
  // The terminal stores registrations in the order they happen; downloads
  // append them in that order.
  std::stable_sort(records.begin(), records.end(),
                   [](const core::AttendanceRecord& a, const core::AttendanceRecord& b) { return a.time < b.time; });
  std::map<std::pair<int, int>, std::string> files;
  for (const auto& r : records) {
    const CivilDate d = r.time.date();
    files[{d.year, d.month}] += core::MonthLog::FormatLine(r) + "\r\n";
  }
  for (const auto& [ym, bytes] : files) {
    const fs::path file = core::MonthLog::FileName(out / "Log", ym.second, ym.first);
    if (!core::WriteFileAtomically(file, bytes, &error)) {
      std::fprintf(stderr, "sample-gen: %s: %s\n", core::DisplayPath(file).c_str(), error.c_str());
      ok = false;
    }
  }
  std::printf("sample-gen: %zu employees, %zu registrations in %zu month logs written to %s\n", list.size(),
              records.size(), files.size(), core::DisplayPath(out).c_str());
  return ok ? 0 : 1;
}

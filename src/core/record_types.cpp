#include "core/record_types.h"

namespace core {

const std::array<std::string_view, kRecordTypeCount> kRecordTypeNames = {
    "Normalny",    "1 Sluzobne", "2 Sl.Cesta", "3 sl.zahranic", "4 Obed",
    "5 Lekar",     "6 Prekážky", "7 PN",       "8 Dovolenka",   "9 Neplat.voln",
};

const std::array<std::string_view, kRecordTypeCount> kRecordTypeAbbreviations = {
    "N", "S1", "S2", "S3", "O", "L", "Pr", "PN", "D", "V",
};

std::string_view recordTypeName(int type) {
  return type >= 0 && type < kRecordTypeCount ? kRecordTypeNames[static_cast<std::size_t>(type)]
                                              : std::string_view{};
}

std::string_view recordTypeAbbreviation(int type) {
  return type >= 0 && type < kRecordTypeCount ? kRecordTypeAbbreviations[static_cast<std::size_t>(type)]
                                              : std::string_view{};
}

}  // namespace core

#pragma once
// Why a file operation failed, in the clerk's language: every message about
// a file is a Slovak sentence with the path and the system's reason, never
// an English phrase behind a Slovak one.

#include <filesystem>
#include <string>
#include <system_error>

namespace core {

// The reason of a failed call in Slovak ("priečinok neexistuje", "disk je
// plný"); the system's own text for a reason without a Slovak one.
std::string ReasonText(std::error_code ec);
inline std::string ReasonTextOfErrno(int err) { return ReasonText(std::error_code(err, std::generic_category())); }

// What failed with a file: what one tried to do to it.
enum class FileAction { Create, Write, Replace, Open, Read, Lock };

// "Nie je možné <action> súbor <path>" and, when known, ": <reason>".
std::string FileErrorText(FileAction action, const std::filesystem::path& path, const std::string& reason = {});

}  // namespace core

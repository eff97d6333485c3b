#pragma once

#include <map>
#include <optional>
#include <string>

namespace haojian::testing {

// The sheets of a workbook as LibreOffice reads them: each sheet's name and its cells as CSV
// (UTF-8, cells as shown), converted by soffice in headless mode with a profile of its own.
// None when soffice is not installed.
std::optional<std::map<std::string, std::string>> OfficeSheets(const std::string& workbook);

}  // namespace haojian::testing

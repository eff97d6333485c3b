#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/table/zip_parts.h"

namespace haojian {

// How a workbook's stored values become the text of a cell (GBK), as a spreadsheet shows them
// without the cell's formatting: a number is written in full (13800138000, never 1.38E+10), a
// date or time as 2024-03-01, 08:30:00 or both, a boolean as TRUE or FALSE.

// The GBK text of a workbook's string (UTF-8, with the workbook's _xHHHH_ escapes of control
// characters). A no-break space becomes a space, which GBK holds; other characters GBK lacks
// become "?".
std::string CellTextFromUtf8(std::string_view utf8);

// A number as stored ("13800138000", "1.3800138E10", "42.50") in plain decimal digits, with
// no exponent and no trailing zeros after a point.
std::string NumberText(std::string_view stored);

// A date serial number as its text: days from the workbook's epoch and the fraction of a day.
std::string DateText(double serial, bool date1904);

// Which of a workbook's cell styles (by index, as cells' s attribute names them) show their
// number as a date or time, from its styles part.
std::vector<bool> DateStyles(ZipParts& zip, const std::string& styles_part);

}  // namespace haojian

#include "tests/support/office_sheets.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/test_files.h"

namespace haojian::testing {

std::optional<std::map<std::string, std::string>> OfficeSheets(const std::string& workbook) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0) return std::nullopt;
    const TempDir dir;
    // Every sheet (-1) to a file "<stem>-<sheet>.csv": comma, quote, UTF-8, cells as shown.
    const std::string command =
        "soffice -env:UserInstallation=file://" + dir.path() +
        "profile --headless --convert-to "
        "'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,false,false,-1' "
        "--outdir '" +
        dir.path() + "out' '" + workbook + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return std::map<std::string, std::string>{};
    const std::string stem = std::filesystem::path(workbook).stem().string() + "-";
    std::map<std::string, std::string> sheets;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path() + "out")) {
        std::string name = entry.path().stem().string();
        if (name.starts_with(stem)) name = name.substr(stem.size());
        sheets[name] = ReadFileBytes(entry.path().string());
    }
    return sheets;
}

}  // namespace haojian::testing

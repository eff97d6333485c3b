#pragma once

#include <string>
#include <vector>

#include "core/table/zip_parts.h"

namespace haojian {

// A workbook's sheets and the parts its cells need, from its relations and workbook.xml.
struct WorkbookParts {
    struct Sheet {
        std::string name;  // UTF-8, as stored
        bool visible = true;
        bool worksheet = true;  // false for a chart sheet, which holds no cells
        std::string part;       // its XML in the zip: "xl/worksheets/sheet1.xml"
    };
    std::vector<Sheet> sheets;   // in the workbook's order
    std::string shared_strings;  // the parts' names, empty when there is none
    std::string styles;
    bool date1904 = false;  // dates count from 1904 (old Mac workbooks)
};

// Reads the workbook's structure. Throws TableError: a zip that is no workbook is kDamaged.
WorkbookParts ReadWorkbookParts(ZipParts& zip);

}  // namespace haojian

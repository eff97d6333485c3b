#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "window/split_export_choice.h"

namespace haojian {

// The question asked before a split export's files replace those of the same names in its
// folder: the first of their names (paths as the core names them), one a line, then how many
// there are when there are more.
std::u16string SplitReplaceQuestion(const std::vector<std::string>& paths);

// The status once a split export is done (GBK): "分类导出完毕：N个文件，共M条", or for one workbook
// "分类导出完毕：一个工作簿，N类，共M条".
std::string SplitExportedStatusText(const SplitExportChoice& choice, std::size_t values,
                                    std::size_t rows);

}  // namespace haojian

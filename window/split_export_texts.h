#pragma once

#include <array>
#include <string_view>

#include "window/window_texts.h"

namespace haojian::window_text {

// The split export: the result list's menu item, its dialog and its file dialogs.
inline constexpr std::u16string_view kSplitExportItem = u"分类导出...";
inline constexpr std::u16string_view kSplitExportCaption = u"分类导出";
inline constexpr std::u16string_view kSplitByLabel = u"分类依据：";
// In the order of SplitField.
inline constexpr std::array<std::u16string_view, 3> kSplitFields = {u"省份", u"城市", u"卡类"};
inline constexpr std::u16string_view kSplitIntoLabel = u"导出为：";
// In the order of SplitExportChoice::Into.
inline constexpr std::array<std::u16string_view, 4> kSplitIntoChoices = {
    u"文本文件，每类一个 (.txt)",
    u"CSV文件，每类一个 (.csv)",
    u"Excel工作簿，每类一个 (.xlsx)",
    u"一个Excel工作簿，每类一张工作表",
};
inline constexpr std::u16string_view kSplitExportHint =
    u"导出符合导出选项的号码，字段按“导出字段”。";
inline constexpr std::u16string_view kSplitFolderTitle = u"选择分类导出的文件夹";
inline constexpr std::u16string_view kSplitWorkbookTitle = u"分类导出保存为";
inline constexpr std::u16string_view kSplitWorkbookName = u"分类导出.xlsx";

// The question before files of the folder are replaced: the first names, one a line, then
// "等N个文件" when there are more.
inline constexpr std::u16string_view kSplitReplaceHead = u"文件夹中已有下列同名文件：";
inline constexpr std::u16string_view kSplitReplaceMoreHead = u"等";
inline constexpr std::u16string_view kSplitReplaceMoreTail = u"个文件";
inline constexpr std::u16string_view kSplitReplaceTail = u"要替换它们吗？";

// The status panel while it runs and once done: "正在分类导出... 40%", then
// "分类导出完毕：N个文件，共M条" or "分类导出完毕：一个工作簿，N类，共M条".
inline constexpr std::u16string_view kSplitBusy = u"正在分类导出... ";
inline constexpr std::u16string_view kSplitSaving = u"正在保存分类导出的文件...";
inline constexpr std::u16string_view kSplitDone = u"分类导出完毕：";
inline constexpr std::u16string_view kSplitFiles = u"个文件，共";
inline constexpr std::u16string_view kSplitOneWorkbook = u"一个工作簿，";
inline constexpr std::u16string_view kSplitValues = u"类，共";
inline constexpr std::u16string_view kSplitRows = u"条";
inline constexpr std::u16string_view kSplitNothing = u"分类导出：没有符合导出选项的号码，未写文件";

}  // namespace haojian::window_text

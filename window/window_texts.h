#pragma once

#include <string_view>

namespace haojian::window_text {

// The application title: the task bar's name for the program and the caption of every plain
// message box and error box. The main window's own caption differs from it in its version.
inline constexpr std::u16string_view kApplicationTitle = u"【瓴岚号鉴】 V1.0";
inline constexpr std::u16string_view kMainWindowCaption = u"【瓴岚号鉴】 V1.1";

// The buttons of the message boxes: the plain and error boxes' one, the confirmation's two.
inline constexpr std::u16string_view kOkButton = u"确定";
inline constexpr std::u16string_view kYesButton = u"是[&Y]";
inline constexpr std::u16string_view kNoButton = u"否[&N]";
// The small dialogs' second button.
inline constexpr std::u16string_view kCancelButton = u"取消";

// The face of the windows' texts (SimSun), and of the About window's product name.
inline constexpr std::u16string_view kSongFace = u"宋体";

inline constexpr std::u16string_view kConfirmCaption = u"确认";
inline constexpr std::u16string_view kConfirmExit = u"确认退出瓴岚号鉴吗?";
// The status while a confirmed close waits for an export or a merge to end.
inline constexpr std::u16string_view kClosingAfterMerge = u"正在合并数据文件，完成后退出...";
inline constexpr std::u16string_view kClosingAfterExport = u"正在导出搜索结果，完成后退出...";
inline constexpr std::u16string_view kClosingAfterImport = u"正在停止导入，完成后退出...";

inline constexpr std::u16string_view kImportTitle = u"导入手机号码列表文件";
inline constexpr std::u16string_view kExportTitle = u"搜索结果保存为";
inline constexpr std::u16string_view kMergeSourcesTitle = u"选择待合并的数据文件";
inline constexpr std::u16string_view kMergeOutputTitle = u"合并后的数据文件保存为";

// Importing a table or a cleaned text list: the sheet and column dialogs, the status while the
// rows are read ("正在读取号码列表... 已读 N 行") and after ("导入查询数据！号码列: C (手机)，
// 无号码 N 条" or "导入查询数据！整理 N 条，无号码 M 条").
inline constexpr std::u16string_view kSheetChoiceTitle = u"选择工作表";
inline constexpr std::u16string_view kSheetChoicePrompt =
    u"工作簿中有多个工作表，请选择要导入的一个：";
inline constexpr std::u16string_view kSheetHeading = u"工作表";
inline constexpr std::u16string_view kColumnChoiceTitle = u"选择号码列";
inline constexpr std::u16string_view kColumnChoiceSeveral =
    u"表格中有几列都含有手机号码，请选择要查询的一列：";
inline constexpr std::u16string_view kColumnChoiceUnclear =
    u"表格中没有明显的号码列，请选择要查询的一列：";
inline constexpr std::u16string_view kColumnHeading = u"列";
inline constexpr std::u16string_view kHeaderHeading = u"表头";
inline constexpr std::u16string_view kFirstValuesHeading = u"前几个值";
inline constexpr std::u16string_view kNumbersHeading = u"含号码";
inline constexpr std::u16string_view kReadingList = u"正在读取号码列表... 已读 ";
inline constexpr std::u16string_view kRowsSuffix = u" 行";
inline constexpr std::u16string_view kNumberColumn = u"号码列: ";
inline constexpr std::u16string_view kCleanedPrefix = u"整理 ";
inline constexpr std::u16string_view kNoNumberPrefix = u"无号码 ";
inline constexpr std::u16string_view kEntriesSuffix = u" 条";
inline constexpr std::u16string_view kImportWaitsForWork =
    u"正在导出、合并或统计，请等它完成后再导入。";
// A table that cannot be read: "无法读取表格 "P"：<why>（<the reader's own words>）".
inline constexpr std::u16string_view kTableUnreadable = u"无法读取表格";

// The maker's addresses, opened by the home page and contact commands and the About window's
// links, and the contact line of the status bar's last panel.
inline constexpr std::string_view kHomePageAddress = "https://haojian.example.org/";
inline constexpr std::string_view kContactAddress = "mailto:haojian@example.org";
inline constexpr std::u16string_view kContactLine = u"联系开发商：haojian@example.org";

// The About window.
inline constexpr std::u16string_view kAboutCaption = u"关于本软件";
inline constexpr std::u16string_view kProductName = u"瓴岚号鉴";
inline constexpr std::u16string_view kVersionLabel = u"Ver 1.1";
// The caption of the contact link, whose address is kContactAddress.
inline constexpr std::u16string_view kContactLinkCaption = u"QQ：800000000  手机：13800000000";

}  // namespace haojian::window_text

#pragma once

#include <array>
#include <string_view>

namespace haojian::window_text {

// The tool bar's buttons from left to right: control name, caption, tooltip and the name of
// its pictures (glyph_<name>.png and glyph_<name>_disabled.png).
struct ToolButtonText {
    std::string_view name;
    std::u16string_view caption;
    std::u16string_view tooltip;
    std::string_view glyph;
};
inline constexpr std::array<ToolButtonText, 8> kToolButtons = {{
    {"SpeedButton4", u"导入", u"导入关键字列表", "import"},
    {"SpeedButton2", u"查询", u"开始手机搜索", "query"},
    {"SpeedButton3", u"终止", u"终止手机搜索", "stop"},
    {"SpeedButton5", u"导出", u"保存搜索结果", "export"},
    {"SpeedButton1", u"合并", u"合并数据文件", "merge"},
    {"SpeedButton6", u"主页", u"访问软件主页", "home"},
    {"SpeedButton9", u"关于", u"关于本软件", "about"},
    {"SpeedButton10", u"退出", u"退出软件系统", "exit"},
}};
// Their places: window_layout (window/main_window_layout.h).

inline constexpr std::u16string_view kExportOptionsLabel = u"导出选项：";
inline constexpr std::u16string_view kExportFieldsLabel = u"导出字段：";

// The status bar's panels: widths (0: the rest of the bar) and initial texts; the last panel
// starts with the contact line.
inline constexpr std::array<int, 7> kPanelWidths = {88, 70, 88, 70, 88, 70, 0};
inline constexpr std::array<std::u16string_view, 7> kPanelTexts = {
    u"手机号码总数：", u"", u"号码查询进程：", u"", u"号码段数据库：", u"", u""};

// The result list's columns.
inline constexpr std::array<std::u16string_view, 4> kColumnTitles = {u"手机号码", u"省份", u"城市",
                                                                     u"卡类"};
inline constexpr std::array<int, 4> kColumnWidths = {175, 150, 150, 150};

// The instructions in the bottom panel, line by line.
inline constexpr std::array<std::u16string_view, 5> kInstructions = {
    u"                    使 用 说 明：",
    u"1：导入手机号码文件为一行一个手机号码的TXT格式文档，无数量限制。",
    u"2：本软件纯绿色无需安装，包含一个EXE执行文件和一个DAT数据库文件。",
    u"3：采用线程方式检索，按终止按钮可暂停，再按查询按钮后可继续查询。",
    u"4：号码段数据库会定期更新，请访问网站或联系开发商获取最新数据库。",
};

// The tray icon's menu PopupMenu1, top to bottom: N17, N18, N19, N20, N21, a separator (N22),
// N23.
inline constexpr std::u16string_view kTrayShowItem = u"显示主程序(&S)";
inline constexpr std::u16string_view kTrayHideItem = u"最小化显示(&M)";
inline constexpr std::u16string_view kTrayContactItem = u"与我们联系(&L)";
inline constexpr std::u16string_view kTrayHomePageItem = u"访问瓴岚主页(&V)";
inline constexpr std::u16string_view kTrayAboutItem = u"关于本软件(&A)";
inline constexpr std::u16string_view kTrayExitItem = u"退 出(&Exit)";

// The result list's right-click menu.
inline constexpr std::u16string_view kCopyItem = u"复制";
inline constexpr std::u16string_view kSelectAllItem = u"全选";
inline constexpr std::u16string_view kStatisticsItem = u"统计...";
// A check item: text lists imported from then on are cleaned as tables are.
inline constexpr std::u16string_view kCleanListsItem = u"导入文本列表时整理号码";
// A copy refused: "选中了 N 行，超过复制的上限 L 行。完整的行请用命令行工具 haojian-cli lookup
// 查询并保存为文件。" (the export writes masked numbers, not the rows a copy gives); a copy failed.
inline constexpr std::u16string_view kCopySelected = u"选中了 ";
inline constexpr std::u16string_view kCopyOverLimit = u" 行，超过复制的上限 ";
inline constexpr std::u16string_view kCopyUseLookup =
    u" 行。完整的行请用命令行工具 haojian-cli lookup 查询并保存为文件。";
inline constexpr std::u16string_view kCopyOutOfMemory = u"内存不足，选中的行未能复制。";

// The statistics window.
inline constexpr std::u16string_view kStatisticsCaption = u"统计";
inline constexpr std::array<std::u16string_view, 3> kStatisticsTables = {u"省份", u"城市", u"卡类"};
inline constexpr std::u16string_view kCountColumn = u"数量";
inline constexpr std::u16string_view kShareColumn = u"占比";
inline constexpr std::u16string_view kTotalPrefix = u"共计：";
inline constexpr std::u16string_view kTotalSuffix = u" 条";
inline constexpr std::u16string_view kSaveCsvButton = u"保存为CSV...";
inline constexpr std::u16string_view kCloseButton = u"关闭";
inline constexpr std::u16string_view kSaveCsvTitle = u"统计结果保存为";
inline constexpr std::u16string_view kSaveCsvName = u"统计.csv";
// Saving the tables and the provinces' chart as a workbook, in the CSV's dialog.
inline constexpr std::u16string_view kSaveWorkbookButton = u"保存为Excel...";
inline constexpr std::u16string_view kSaveWorkbookName = u"统计.xlsx";

}  // namespace haojian::window_text

#include "window/statistics_save.h"

#include "core/export/statistics_csv.h"
#include "core/export/statistics_workbook.h"
#include "core/text/gbk.h"
#include "window/failure_text.h"
#include "window/main_window_texts.h"
#include "window/window_texts.h"

namespace haojian {

void SaveStatisticsFile(StatisticsFile kind, const RowStatistics& stats, WindowDialogs& dialogs,
                        FileSystem& files) {
    const bool workbook = kind == StatisticsFile::Workbook;
    FileChoice choice;
    choice.kind = FileChoice::Kind::Save;
    choice.purpose = FileChoice::Purpose::Export;
    choice.title = window_text::kSaveCsvTitle;
    choice.file_name = workbook ? window_text::kSaveWorkbookName : window_text::kSaveCsvName;
    choice.filters = workbook ? FileChoice::Filters::Workbook : FileChoice::Filters::Csv;
    choice.default_suffix = workbook ? u"xlsx" : u"csv";
    const std::vector<std::string> chosen = dialogs.ChooseFiles(choice);
    if (chosen.empty()) return;
    try {
        if (workbook) {
            SaveStatisticsWorkbook(stats, chosen.front(), files);
        } else {
            SaveStatisticsCsv(stats, chosen.front(), files);
        }
    } catch (const std::exception& error) {
        const std::string text = ErrorBoxText(WindowFailureText(error, WindowWork::Save));
        dialogs.ShowBox(
            {BoxKind::Error, std::u16string(window_text::kApplicationTitle), Utf16FromGbk(text)});
    }
}

}  // namespace haojian

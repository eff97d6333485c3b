// The statistics as a CSV file: its text, and a save that never leaves a half-written file.
#include <gtest/gtest.h>

#include <cerrno>

#include "core/base/error.h"
#include "core/export/export.h"
#include "core/export/statistics_csv.h"
#include "core/text/gbk.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

RowStatistics Sample() {
    RowStatistics stats;
    stats.provinces = {{{GbkFromUtf8("江苏"), 2}, {GbkFromUtf8("未知"), 1}}, 3};
    // A name with a comma and a quote is quoted, its quote doubled.
    stats.cities = {{{GbkFromUtf8("南京"), 2}, {"a,\"b\"", 1}}, 3};
    stats.card_types = {};
    return stats;
}

TEST(StatisticsCsv, TablesInUtf8WithSharesAndQuoting) {
    EXPECT_EQ(StatisticsCsv(Sample()),
              "\xEF\xBB\xBF"
              "省份,数量,占比\r\n江苏,2,66.67%\r\n未知,1,33.33%\r\n"
              "\r\n城市,数量,占比\r\n南京,2,66.67%\r\n\"a,\"\"b\"\"\",1,33.33%\r\n"
              "\r\n卡类,数量,占比\r\n");
}

TEST(StatisticsCsv, AFailedSaveLeavesTheOldFile) {
    testing::TempDir dir;
    const std::string path = dir.Write("stats.csv", "old");
    testing::FaultyFileSystem files;
    files.FailAt(testing::FaultyFileSystem::Op::Write, 1, ENOSPC);
    try {
        SaveStatisticsCsv(Sample(), path, files);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.code(), ENOSPC);
        EXPECT_EQ(e.path(), path);
    }
    EXPECT_EQ(testing::ReadFileBytes(path), "old");
    EXPECT_EQ(testing::FileNames(dir.path()), std::vector<std::string>{"stats.csv"});

    SaveStatisticsCsv(Sample(), path);
    EXPECT_EQ(testing::ReadFileBytes(path), StatisticsCsv(Sample()));
}

}  // namespace
}  // namespace haojian

// The CSV, sheet-name and file-name rules of the table writers, and their staging of the target.
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <set>
#include <string>

#include "core/base/error.h"
#include "core/export/split_file_names.h"
#include "core/table/csv_writer.h"
#include "core/table/sheet_names.h"
#include "core/table/workbook_writer.h"
#include "core/text/gbk.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

std::string Csv(std::initializer_list<std::string_view> cells, char separator = ',',
                CsvEncoding encoding = CsvEncoding::kGbk) {
    std::string out;
    AppendCsvRecord(out, std::span(cells.begin(), cells.size()), separator, encoding);
    return out;
}

TEST(CsvRecord, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(Csv({"13800138000", "", "a b"}), "13800138000,,a b\r\n");
    EXPECT_EQ(Csv({"a,b", "say \"hi\"", "two\r\nlines", "lf\n"}),
              "\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",\"lf\n\"\r\n");
    // Spaces at either end would be trimmed by some readers.
    EXPECT_EQ(Csv({" 138", "138 "}), "\" 138\",\"138 \"\r\n");
    // In TSV the tab is the separator, the comma is plain text.
    EXPECT_EQ(Csv({"a\tb", "c,d"}, '\t'), "\"a\tb\"\tc,d\r\n");
}

TEST(CsvRecord, GbkAsItIsOrUtf8) {
    const std::string guangdong = GbkFromUtf8("广东");
    EXPECT_EQ(Csv({guangdong, "1"}), guangdong + ",1\r\n");
    EXPECT_EQ(Csv({guangdong, "\"" + guangdong}, ',', CsvEncoding::kUtf8), "广东,\"\"\"广东\"\r\n");
}

TEST(CsvWriter, Utf8FileLedByMarkAndAFailedWriteLeavesTheOldFile) {
    testing::TempDir dir;
    const std::string path = dir.Write("out.csv", "old");
    {
        CsvWriter writer(RealFileSystem(), path, ',', CsvEncoding::kUtf8);
        const std::array<std::string_view, 2> row = {"a", "b"};
        writer.AddRow(row);
        writer.Commit();
    }
    EXPECT_EQ(testing::ReadFileBytes(path),
              "\xEF\xBB\xBF"
              "a,b\r\n");

    testing::FaultyFileSystem files;
    files.FailAt(testing::FaultyFileSystem::Op::Write, 1, ENOSPC);
    {
        // The writer holds the target until it goes (Windows shares it with no reader).
        CsvWriter writer(files, path, ',', CsvEncoding::kGbk);
        const std::array<std::string_view, 1> row = {"new"};
        writer.AddRow(row);
        EXPECT_THROW(writer.Commit(), FileError);
    }
    EXPECT_EQ(testing::ReadFileBytes(path),
              "\xEF\xBB\xBF"
              "a,b\r\n");
}

TEST(SheetNames, WhatSpreadsheetsAcceptAndNeverTwice) {
    SheetNames names;
    EXPECT_EQ(names.Take(GbkFromUtf8("广东")), "广东");
    EXPECT_EQ(names.Take(GbkFromUtf8("广东"), 2), "广东 (2)");
    EXPECT_EQ(names.Take("a/b:c[d]*?\\"), "a_b_c_d____");
    EXPECT_EQ(names.Take("'quoted'"), "_quoted_");
    EXPECT_EQ(names.Take(""), "_");
    // Names compare ignoring case; "History" is Excel's own.
    EXPECT_EQ(names.Take("Beijing"), "Beijing");
    EXPECT_EQ(names.Take("BEIJING"), "BEIJING (2)");
    EXPECT_EQ(names.Take("history"), "history (2)");
    // 31 characters at most, counted as Excel counts them, the part's mark kept whole.
    const std::string long_name(40, 'x');
    EXPECT_EQ(names.Take(long_name), std::string(31, 'x'));
    EXPECT_EQ(names.Take(long_name, 12), std::string(26, 'x') + " (12)");
    std::string chinese;
    for (int i = 0; i < 40; ++i) chinese += GbkFromUtf8("省");
    std::string expected;
    for (int i = 0; i < 27; ++i) expected += "省";
    EXPECT_EQ(names.Take(chinese, 2), expected + " (2)");
}

TEST(SplitFileNames, SafeOnBothSystemsAndDistinct) {
    SplitFileNames names;
    EXPECT_EQ(names.Take(GbkFromUtf8("广东"), ".txt"), "广东.txt");
    EXPECT_EQ(names.Take(GbkFromUtf8("未知"), ".csv"), "未知.csv");
    EXPECT_EQ(names.Take("a<b>c:\"d/e\\f|g?h*\x01", ".txt"), "a_b_c__d_e_f_g_h__.txt");
    EXPECT_EQ(names.Take("dots. . ", ".txt"), "dots.txt");
    EXPECT_EQ(names.Take("..", ".txt"), "_.txt");
    EXPECT_EQ(names.Take("", ".txt"), "_ (2).txt");
    EXPECT_EQ(names.Take("con", ".txt"), "_con.txt");
    EXPECT_EQ(names.Take("Lpt1.x", ".txt"), "_Lpt1.x.txt");
    EXPECT_EQ(names.Take("console", ".txt"), "console.txt");
    // Windows compares names ignoring case.
    EXPECT_EQ(names.Take("DOTS", ".txt"), "DOTS (2).txt");
    // Long values are cut between characters.
    std::string chinese;
    for (int i = 0; i < 100; ++i) chinese += GbkFromUtf8("省");
    const std::string name = names.Take(chinese, ".txt");
    EXPECT_LE(name.size(), 200u);
    EXPECT_EQ(name.substr(name.size() - 7), "省.txt");
}

TEST(WorkbookText, CharactersXmlCannotCarryAreEscapedAndEscapesGuarded) {
    const auto text = [](std::string_view gbk) {
        std::string out;
        AppendWorkbookText(out, gbk);
        return out;
    };
    EXPECT_EQ(text("13800138000"), "13800138000");
    EXPECT_EQ(text(GbkFromUtf8("广东")), "广东");
    EXPECT_EQ(text("a\x01"
                   "b\rc\td\ne"),
              "a_x0001_b_x000D_c\td\ne");
    EXPECT_EQ(text("_x0041_ and _x12_"), "_x005F_x0041_ and _x12_");
}

TEST(WorkbookWriter, AFailureLeavesTheOldFileAndALongCellIsRefused) {
    testing::TempDir dir;
    const std::string path = dir.Write("book.xlsx", "old");
    testing::FaultyFileSystem files;
    files.FailAt(testing::FaultyFileSystem::Op::Write, 1, ENOSPC);
    {
        WorkbookWriter book(files, path);
        for (int i = 0; i < 1000; ++i) {
            const std::string number = std::to_string(13800000000LL + i);
            const std::array<std::string_view, 2> row = {number, "x"};
            book.AddRow(row);
        }
        EXPECT_THROW(book.Commit(), FileError);
    }
    EXPECT_TRUE(testing::ReadFileBytes(path) == "old");
    // A cell longer than a cell may be is refused, not cut.
    WorkbookWriter book(RealFileSystem(), path);
    const std::string huge(32768, 'x');
    const std::array<std::string_view, 1> row = {huge};
    EXPECT_THROW(book.AddRow(row), Error);
}

}  // namespace
}  // namespace haojian

// The sample tables that LibreOffice, openpyxl, pandas and spreadsheets' CSV make
// (tools/make_sample_tables.py), read cell by cell; and the files that must be refused.
#include "core/table/table_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/table/table_error.h"
#include "core/table/zip_parts.h"
#include "core/text/gbk.h"
#include "core/threads/thread_start.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

using Rows = std::vector<std::vector<std::string>>;

const std::string kTables = HAOJIAN_TABLES_DIR;

// The rows every sample holds (UTF-8): a header, then name, number, untidy number, remark.
const Rows kSampleRows = {
    {"姓名", "手机", "其他号码", "备注"},
    {"张三", "13800138000", "+86 138-0013-8000", "老客户"},
    {"李四", "13912345678", "0086 139 1234 5678", ""},
    {"王五", "15000000000", "（１５０）００００ ００００", "备注, 有逗号"},
    {"Ann", "18612345678", "call 186.1234.5678 after 5", "say \"hi\""},
    {"赵六", "17712345678", "无", "两行\n备注"},
};

struct Read {
    TableLayout layout;
    Rows rows;
    std::vector<std::uint64_t> numbers;
};

Read ReadTable(const std::string& path, const TableOptions& options = {}) {
    const auto table = TableReader::Open(RealFileSystem(), path, options);
    Read read{table->layout(), {}, {}};
    table->ReadRows([&](const TableRow& row) {
        std::vector<std::string> cells;
        for (const std::string& cell : row.cells) cells.push_back(Utf8FromGbk(cell));
        EXPECT_EQ(row.header, read.rows.empty() && read.layout.has_header);
        EXPECT_EQ(row.number_column, read.layout.number_column);
        read.rows.push_back(cells);
        read.numbers.push_back(row.number);
    });
    return read;
}

// A sample's rows with the last cells each row leaves empty cut off, to compare rows padded
// to the table's width with those written.
Rows Trimmed(Rows rows) {
    for (auto& row : rows) {
        while (!row.empty() && row.back().empty()) row.pop_back();
    }
    return rows;
}

TEST(TableReader, SamplesFromUsersProgramsGiveTheirCells) {
    for (const char* name : {"pandas.xlsx", "pandas_text.xlsx", "libreoffice.xlsx", "gbk.csv",
                             "utf8.csv", "utf8_bom.csv", "utf16.txt", "semicolon.csv"}) {
        const Read read = ReadTable(kTables + name);
        EXPECT_EQ(read.rows, kSampleRows) << name;
        EXPECT_EQ(read.layout.number_column, 1u) << name;
        EXPECT_TRUE(read.layout.has_header) << name;
        EXPECT_EQ(Utf8FromGbk(read.layout.header), "手机") << name;
    }
}

TEST(TableReader, WorkbookCellsAsStoredWithTheirGaps) {
    // The hidden first sheet is passed over; numbers stored as numbers come as their digits, a
    // date and a boolean as their text, and the rows left out of the XML stay in their places.
    const Read openpyxl = ReadTable(kTables + "openpyxl.xlsx");
    EXPECT_EQ(Utf8FromGbk(openpyxl.layout.sheet), "客户");
    EXPECT_EQ(openpyxl.layout.width, 5u);
    ASSERT_EQ(openpyxl.rows.size(), 8u);
    EXPECT_EQ(Trimmed(Rows(openpyxl.rows.begin(), openpyxl.rows.begin() + 6)),
              Trimmed(kSampleRows));
    EXPECT_EQ(openpyxl.rows[6], std::vector<std::string>(5));
    EXPECT_EQ(openpyxl.rows[7],
              (std::vector<std::string>{"间隔", "13800138000", "", "2024-03-01", "TRUE"}));
    EXPECT_EQ(openpyxl.numbers, (std::vector<std::uint64_t>{1, 2, 3, 4, 5, 6, 7, 8}));

    // Inline strings, rich-text runs joined (phonetic guides left out), a number in E notation,
    // a formula's cached value, a boolean.
    const Read inline_rich = ReadTable(kTables + "inline_rich.xlsx");
    const Rows expected = {
        {"姓名", "电话", "", ""},
        {"孙八", "", "1380013 8000", ""},
        {"钱七", "13912345678", "13912345678", ""},
        {"", "", "", ""},
        {"", "+86 150 0000 0000", "", "FALSE"},
    };
    EXPECT_EQ(inline_rich.rows, expected);
}

TEST(TableReader, SheetAndColumnAsAsked) {
    TableOptions options;
    options.sheet = GbkFromUtf8("旧数据");
    EXPECT_EQ(ReadTable(kTables + "openpyxl.xlsx", options).rows, (Rows{{"隐藏", "13000000000"}}));
    options.sheet = "3";
    const Read third = ReadTable(kTables + "openpyxl.xlsx", options);
    EXPECT_EQ(Utf8FromGbk(third.layout.sheet), "第三");
    EXPECT_EQ(third.rows, (Rows{{"号码"}, {"13700000000"}}));

    // By header, letter or number; a header that is no number column is still a header.
    for (const char* column : {"其他号码", "C", "c", "3"}) {
        options = {};
        options.column = GbkFromUtf8(column);
        const Read read = ReadTable(kTables + "gbk.csv", options);
        EXPECT_EQ(read.layout.number_column, 2u) << column;
        EXPECT_TRUE(read.layout.has_header) << column;
    }
    options = {};
    options.sheet = "Nope";
    EXPECT_THROW(ReadTable(kTables + "openpyxl.xlsx", options), TableError);
    options = {};
    for (const char* column : {"传真", "Z", "9"}) {
        options.column = GbkFromUtf8(column);
        EXPECT_THROW(ReadTable(kTables + "gbk.csv", options), TableError) << column;
    }
}

TableError::Kind RefusalOf(const std::string& path) {
    try {
        ReadTable(path);
    } catch (const TableError& e) {
        EXPECT_EQ(e.path(), path);
        return e.kind();
    }
    ADD_FAILURE() << path << " was read";
    return TableError::Kind::kDamaged;
}

TEST(TableReader, LongTablesComeWholeAndInOrderWithOrWithoutAThread) {
    // Far more rows than are read to choose the column, so that most are read ahead.
    const testing::TempDir dir;
    std::string csv = "name,number\r\n";
    for (int i = 0; i < 20'000; ++i) {
        csv += "n" + std::to_string(i) + "," + std::to_string(13800000000LL + i) + "\r\n";
    }
    const std::string path = dir.Write("long.csv", csv);
    const Read read = ReadTable(path);
    ASSERT_EQ(read.rows.size(), 20'001u);
    for (std::size_t i = 1; i < read.rows.size(); ++i) {
        ASSERT_EQ(read.rows[i], (std::vector<std::string>{"n" + std::to_string(i - 1),
                                                          std::to_string(13799999999LL + i)}));
        ASSERT_EQ(read.numbers[i], i + 1);
    }
    const ThreadStartsRefused refused;
    const Read alone = ReadTable(path);
    EXPECT_EQ(alone.rows, read.rows);
    EXPECT_EQ(alone.numbers, read.numbers);
}

TEST(TableReader, BadFilesAreRefusedByKind) {
    EXPECT_EQ(RefusalOf(kTables + "truncated.xlsx"), TableError::Kind::kDamaged);
    EXPECT_EQ(RefusalOf(kTables + "broken_xml.xlsx"), TableError::Kind::kBrokenXml);
    EXPECT_EQ(RefusalOf(kTables + "old_format.xls"), TableError::Kind::kOldExcel);
    EXPECT_EQ(RefusalOf(kTables + "no_numbers.xlsx"), TableError::Kind::kNoColumn);

    const testing::TempDir dir;
    const std::string compound = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    const std::string info("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o\0", 28);
    EXPECT_EQ(RefusalOf(dir.Write("locked.xlsx", compound + std::string(500, '\0') + info)),
              TableError::Kind::kEncrypted);
    // A zip that holds no workbook, and one whose data were changed after it was written.
    const std::string book = testing::ReadFileBytes(kTables + "inline_rich.xlsx");
    EXPECT_EQ(RefusalOf(dir.Write("other.zip", book.substr(0, 4) + std::string(200, 'x'))),
              TableError::Kind::kDamaged);
    std::string flipped = book;
    flipped[flipped.size() / 3] ^= 0x55;
    EXPECT_EQ(RefusalOf(dir.Write("flipped.xlsx", flipped)), TableError::Kind::kDamaged);
}

TEST(ZipParts, APartThatExpandsPastTheBoundIsRefused) {
    // The bound is checked against the entry and again as the part expands.
    ZipParts zip(RealFileSystem().OpenRead(kTables + "inline_rich.xlsx"), "book.xlsx", 600);
    zip.Open("xl/sharedStrings.xml");  // small enough
    char buffer[64];
    while (zip.Read(buffer, sizeof buffer) != 0) {
    }
    try {
        zip.Open("xl/worksheets/sheet1.xml");
        while (zip.Read(buffer, sizeof buffer) != 0) {
        }
        ADD_FAILURE() << "the sheet was read past the bound";
    } catch (const TableError& e) {
        EXPECT_EQ(e.kind(), TableError::Kind::kTooLarge);
    }
}

}  // namespace
}  // namespace haojian

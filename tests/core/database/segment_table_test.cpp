// ReadSegmentTable: the forms in which segment tables are published.
#include "core/database/segment_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/error.h"
#include "core/text/gbk.h"

namespace haojian {
namespace {

struct Read {
    SegmentTable table;
    std::vector<SegmentTable::Row> rows;
};

Read ReadAll(std::string_view bytes) {
    Read read;
    read.table =
        ReadSegmentTable(bytes, [&](const SegmentTable::Row& row) { read.rows.push_back(row); });
    return read;
}

std::string Utf16(std::u16string_view text, bool big_endian) {
    std::string bytes = big_endian ? std::string("\xFE\xFF", 2) : std::string("\xFF\xFE", 2);
    for (const char16_t c : text) {
        const char high = char(c >> 8), low = char(c & 0xFF);
        bytes += big_endian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

TEST(SegmentTable, QuotedFieldsKeepSeparatorsQuotesAndLineBreaks) {
    const Read read = ReadAll(
        "phone, province ,city,isp,note\r\n"
        "\"1380013\", \"江苏\" ,\"南京\",移动,\"a, \"\"b\"\"\r\nc\"\r\n"
        "  1390000 ,重庆,重庆,电信,\"x\ny\rz\"\n"
        "\n"
        "1860001,湖北,襄阳,联通\n");
    EXPECT_EQ(read.table.separator, ',');
    EXPECT_EQ(read.table.encoding, SegmentTable::Encoding::kUtf8);
    ASSERT_EQ(read.table.rows, 3u);
    ASSERT_EQ(read.rows.size(), 3u);
    EXPECT_EQ(read.rows[0].prefix, "1380013");
    EXPECT_EQ(read.rows[0].province, "江苏");
    EXPECT_EQ(read.rows[0].carrier, "移动");
    EXPECT_EQ(read.rows[0].line, 2u);
    EXPECT_EQ(read.rows[1].prefix, "1390000");
    EXPECT_EQ(read.rows[1].line, 4u);  // the note of the row before spans two lines
    EXPECT_EQ(read.rows[2].line, 8u);  // after a three-line note and an empty line
    for (const SegmentTable::Row& row : read.rows) EXPECT_TRUE(row.complete);
}

TEST(SegmentTable, RaggedRowsAreIncompleteAndAMissingCityIsEmpty) {
    const Read read = ReadAll("号段\t省份\t运营商\n1380013\t江苏\n1390000\t重庆\t电信\t多余\n");
    EXPECT_EQ(read.table.separator, '\t');
    ASSERT_EQ(read.rows.size(), 2u);
    EXPECT_FALSE(read.rows[0].complete);
    EXPECT_EQ(read.rows[0].province, "江苏");
    EXPECT_EQ(read.rows[0].carrier, "");
    EXPECT_TRUE(read.rows[1].complete);
    EXPECT_EQ(read.rows[1].city, "");
    EXPECT_EQ(read.rows[1].carrier, "电信");
}

TEST(SegmentTable, EveryEncodingGivesTheSameRows) {
    const std::u16string text = u"phone,province,city,isp\r\n1380013,江苏,南京,移动\r\n";
    const std::string utf8 = Utf8FromGbk(GbkFromUtf16(text));
    const std::vector<std::pair<std::string, SegmentTable::Encoding>> forms = {
        {utf8, SegmentTable::Encoding::kUtf8},
        {"\xEF\xBB\xBF" + utf8, SegmentTable::Encoding::kUtf8WithMark},
        {GbkFromUtf16(text), SegmentTable::Encoding::kGbk},
        {Utf16(text, false), SegmentTable::Encoding::kUtf16},
        {Utf16(text, true), SegmentTable::Encoding::kUtf16},
    };
    for (const auto& [bytes, encoding] : forms) {
        const Read read = ReadAll(bytes);
        EXPECT_EQ(read.table.encoding, encoding);
        ASSERT_EQ(read.rows.size(), 1u);
        EXPECT_EQ(read.rows[0].prefix, "1380013");
        EXPECT_EQ(read.rows[0].province, "江苏");
        EXPECT_EQ(read.rows[0].city, "南京");
        EXPECT_EQ(read.rows[0].carrier, "移动");
    }
}

TEST(SegmentTable, ThePrefixColumnIsTheOneOfMostSevenDigitValues) {
    // The first row's phone is empty; the "prefix" column of three digits comes first.
    std::string table = "prefix,phone,province,isp\n138,,江苏,移动\n";
    for (int i = 0; i < 10; ++i) table += "138," + std::to_string(1380000 + i) + ",江苏,移动\n";
    Read read = ReadAll(table);
    ASSERT_EQ(read.rows.size(), 11u);
    EXPECT_EQ(read.rows[0].prefix, "");
    EXPECT_EQ(read.rows[10].prefix, "1380009");

    // Beyond the rows that decide, rows are handed on as they come, in order.
    table = "segment,phone,province,isp\n";
    for (int i = 0; i < 2500; ++i) table += "1," + std::to_string(1300000 + i) + ",江苏,移动\n";
    read = ReadAll(table);
    ASSERT_EQ(read.rows.size(), 2500u);
    for (std::size_t i = 0; i < read.rows.size(); ++i) {
        ASSERT_EQ(read.rows[i].prefix, std::to_string(1300000 + i));
        ASSERT_EQ(read.rows[i].line, i + 2);
    }
    // Equal counts: the first named.
    read = ReadAll("phone,prefix,province,isp\n1,2,江苏,移动\n");
    EXPECT_EQ(read.rows[0].prefix, "1");
}

TEST(SegmentTable, TablesItCannotReadAreRefusedBeforeAnyRow) {
    for (const std::string& bytes :
         {std::string(""), std::string(" \r\n\t\n"), std::string("phone,province\n1,2\n"),
          std::string("province,isp\n"), std::string("phone,province,isp\n1\0,2,3\n", 23)}) {
        bool handed = false;
        EXPECT_THROW(ReadSegmentTable(bytes, [&](const SegmentTable::Row&) { handed = true; }),
                     Error)
            << bytes;
        EXPECT_FALSE(handed);
    }
    // A NUL is found by its byte offset in the file: in UTF-16, two bytes on an even offset.
    try {
        ReadSegmentTable(std::string("\xFF\xFEp\0\0\x01\0\0", 8), [](const SegmentTable::Row&) {});
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), "The table holds a NUL byte at byte offset 6");
    }
}

}  // namespace
}  // namespace haojian

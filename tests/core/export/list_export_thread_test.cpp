// Number lists exported on the way, chunk by chunk on several threads, give the file that the
// export of their looked-up rows gives; and a failing file leaves the target as it was.
#include <gtest/gtest.h>

#include <cerrno>
#include <random>
#include <string>
#include <vector>

#include "core/base/error.h"
#include "core/collation/collation.h"
#include "core/database/segment_database.h"
#include "core/export/export.h"
#include "core/export/list_export.h"
#include "core/lookup/code_table.h"
#include "core/lookup/number_lookup.h"
#include "core/text/fixed_texts.h"
#include "core/text/gbk.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/sorted_lines.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

// The rows of lists, each looked up one after another.
class LookedUp final : public ResultTable {
public:
    LookedUp(const std::vector<std::string>& lists, const SegmentDatabase& db,
             const CodeTables& tables) {
        for (const std::string& list : lists) {
            ForEachLine(list, [&](std::string_view number) {
                const LookupResult r = ResolveNumber(number, db, tables, DefaultCollation());
                rows_.push_back({r.number, r.province, r.city, r.card_type});
            });
        }
    }
    std::size_t size() const override { return rows_.size(); }
    ResultRowView Row(std::size_t i) const override { return rows_[i]; }

private:
    std::vector<ResultRowView> rows_;
};

std::string RandomNumbers(std::mt19937& rng, int count) {
    const char* const ends[] = {"\r\n", "\n", "\r", "\n\r"};
    std::string text;
    for (int i = 0; i < count; ++i) {
        const int kind = int(rng() % 6);
        if (kind < 4) text += "13" + std::to_string(rng() % 3) + "000" + std::to_string(rng() % 2);
        if (kind < 3) text += std::to_string(rng() % 100000);
        if (kind == 4) text += "17" + std::to_string(rng() % 10);
        if (kind == 5 && rng() % 2) text += GbkFromUtf8("号") + "x";
        text += ends[rng() % 4];
    }
    return text;
}

TEST(NumberListExport, GivesTheFileOfTheRowsExport) {
    const SegmentDatabase db = SegmentDatabase::FromBytes(
        "1300000050113\r\n1300001050221\r\n1310000130132\r\n131000115024\r\n1320000\r\n"
        "13200010101x\r\n");
    CodeTables tables;
    ReloadCodeTables(tables);
    const std::string jiangsu = GbkFromUtf8("江苏");
    const std::string chongqing = GbkFromUtf8("重庆");
    const std::string nanjing = GbkFromUtf8("南京");
    const std::string_view provinces[] = {text::kAnyProvince, jiangsu, chongqing, text::kUnknown};
    const std::string_view cities[] = {text::kAnyCity, text::kAnyCity, nanjing, text::kUnknown};
    const std::string_view cards[] = {text::kAnyCard, text::kAnyCard, text::kCardMobile, "x"};
    const std::string_view layouts[] = {
        text::kLayoutNumber,     text::kLayoutNumberProvince,     text::kLayoutNumberCity,
        text::kLayoutNumberCard, text::kLayoutNumberProvinceCard, text::kLayoutNumberCityCard};
    const TempDir dir;
    std::mt19937 rng(99);
    for (int round = 0; round < 24; ++round) {
        std::vector<std::string> lists;
        for (int i = int(rng() % 3); i >= 0; --i) lists.push_back(RandomNumbers(rng, rng() % 3000));
        const ExportFilter filter{provinces[rng() % 4], cities[rng() % 4], cards[rng() % 4]};
        const std::string_view layout = layouts[round % 6];
        const std::string table_path = dir.path() + "table.txt";
        const std::size_t expected_count =
            ExportRows(LookedUp(lists, db, tables), filter, layout, table_path);
        const std::string expected = ReadFileBytes(table_path);
        for (const unsigned threads : {1u, 3u}) {
            const std::string path = dir.path() + "streamed.txt";
            NumberListExport streamed(db, tables, DefaultCollation(), filter, layout, path,
                                      RealFileSystem(), threads, 1 + rng() % 700);
            for (const std::string& list : lists) streamed.Add(list);
            ASSERT_EQ(streamed.Commit(), expected_count) << "round " << round;
            ASSERT_EQ(ReadFileBytes(path), expected) << "round " << round;
        }
    }
}

TEST(NumberListExport, AFailedWriteLeavesTheTargetAsItWas) {
    const SegmentDatabase db = SegmentDatabase::FromBytes("1300000050113\r\n");
    CodeTables tables;
    ReloadCodeTables(tables);
    const TempDir dir;
    const std::string path = dir.Write("out.txt", "old");
    std::string list;
    for (int i = 0; i < 20000; ++i) list += "130000" + std::to_string(i) + "\n";
    testing::FaultyFileSystem fs;
    fs.FailAt(testing::FaultyFileSystem::Op::Write, 2, ENOSPC);
    try {
        NumberListExport streamed(db, tables, DefaultCollation(), ExportFilter{},
                                  text::kLayoutNumber, path, fs, 2, 1000);
        streamed.Add(list);
        streamed.Commit();
        ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.op(), FileError::Op::Write);
        EXPECT_EQ(e.code(), ENOSPC);
    }
    EXPECT_EQ(ReadFileBytes(path), "old");
    EXPECT_EQ(testing::FileNames(dir.path()), std::vector<std::string>{"out.txt"});
}

}  // namespace
}  // namespace haojian

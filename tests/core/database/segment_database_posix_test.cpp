// Loading the segment database, and the built-in code tables with their look-up.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/base/error.h"
#include "core/collation/collation.h"
#include "core/database/segment_database.h"
#include "core/files/file_system.h"
#include "core/lookup/code_table.h"
#include "core/text/gbk.h"
#include "core/text/text_encoding.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

using namespace std::string_literals;
using V = std::vector<std::string>;
using testing::TempDir;

V LinesOf(const SegmentDatabase& db) {
    V out;
    for (std::size_t i = 0; i < db.size(); ++i) out.emplace_back(db[i]);
    return out;
}

// Loads the given bytes as the database file of a fresh directory.
std::optional<SegmentDatabase> LoadFrom(const std::string& bytes) {
    const TempDir dir;
    dir.Write("kelvaronset.dat", bytes);
    return LoadSegmentDatabase(RealFileSystem(), dir.path());
}

TEST(LoadSegmentDatabase, EveryKindOfLineEndGivesTheSameLines) {
    const V expected = {"13800000501", "", "13900001301 tail", "1300000"};
    for (const char* end : {"\r\n", "\n", "\r"}) {
        std::string bytes;
        for (const std::string& line : expected) bytes += line + end;
        const auto with_end = LoadFrom(bytes);
        ASSERT_TRUE(with_end) << "end " << int(end[0]);
        EXPECT_EQ(LinesOf(*with_end), expected);
        // Without the last line end the last line is still there, and nothing more.
        bytes.resize(bytes.size() - std::string(end).size());
        const auto without_end = LoadFrom(bytes);
        ASSERT_TRUE(without_end);
        EXPECT_EQ(LinesOf(*without_end), expected);
    }
    // LF CR is two ends with an empty line between; empty lines count.
    const auto lf_cr = LoadFrom("1380000\n\r1390000\n\n\n");
    ASSERT_TRUE(lf_cr);
    EXPECT_EQ(LinesOf(*lf_cr), (V{"1380000", "", "1390000", "", ""}));
}

TEST(LoadSegmentDatabase, NulEndsTheTextAndAByteOrderMarkStays) {
    const auto nul = LoadFrom(
        "1380000\r\n13900\0"
        "01301\r\n1300000\r\n"s);
    ASSERT_TRUE(nul);
    EXPECT_EQ(LinesOf(*nul), (V{"1380000", "13900"}));

    const std::string mark = "\xEF\xBB\xBF";
    const auto bom = LoadFrom(mark + "13800000501\r\n13800001301\r\n");
    ASSERT_TRUE(bom);
    EXPECT_EQ(LinesOf(*bom), (V{mark + "13800000501", "13800001301"}));
    // The marked first line begins with no digit, so its segment is served by the second.
    EXPECT_EQ(bom->FirstLineWithPrefix("1380000"), 1u);
    EXPECT_EQ(bom->FirstLineWithPrefix(mark), 0u);
}

TEST(LoadSegmentDatabase, AnEmptyFileIsLoadedWithNoLines) {
    const auto empty = LoadFrom("");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->size(), 0u);
    EXPECT_EQ(empty->FirstLineWithPrefix("1"), SegmentDatabase::kNoLine);
}

TEST(SegmentDatabase, FieldsOfTheFirstLineWhateverTheNumberOfDistinctFields) {
    // More distinct fields than the compact index of segments can name, and a few.
    for (const std::size_t distinct : {std::size_t(70000), std::size_t(3)}) {
        std::string bytes;
        for (std::size_t i = 0; i < 80000; ++i) {
            const std::size_t f = i % distinct;
            bytes += "1" + std::to_string(300000 + i % 75000) + std::to_string(10000 + f) + "\n";
        }
        bytes += "1234\n";
        const SegmentDatabase db = SegmentDatabase::FromBytes(bytes);
        for (const std::string prefix : {"1300000", "1374999", "1375000", "1300", "1234", "2"}) {
            const std::uint32_t line = db.FirstLineWithPrefix(prefix);
            const std::optional<std::string_view> fields = db.FirstCodeFields(prefix);
            ASSERT_EQ(fields.has_value(), line != SegmentDatabase::kNoLine) << prefix;
            if (fields) {
                EXPECT_EQ(*fields, CutField(db[line], 8, 5)) << prefix;
            }
        }
    }
}

TEST(LoadSegmentDatabase, NoFileOrADirectoryOfThatNameIsMissing) {
    const TempDir dir;
    EXPECT_FALSE(LoadSegmentDatabase(RealFileSystem(), dir.path()));
    ASSERT_EQ(::mkdir((dir.path() + "kelvaronset.dat").c_str(), 0755), 0);
    EXPECT_FALSE(LoadSegmentDatabase(RealFileSystem(), dir.path()));
}

// The real file system, except that opening a file for reading fails with a given error.
class FailingOpenFileSystem final : public FileSystem {
public:
    explicit FailingOpenFileSystem(int code) : code_(code) {}
    bool IsFile(const std::string& path) override { return real_.IsFile(path); }
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
        throw FileError(FileError::Op::Open, path, code_);
    }
    std::unique_ptr<StagedFile> CreateReplacement(const std::string& target) override {
        return real_.CreateReplacement(target);
    }

private:
    FileSystem& real_ = RealFileSystem();
    int code_;
};

// Switches the messages of the C library to Chinese for one test, where the system has them.
class ChineseSystemMessages {
public:
    ChineseSystemMessages() {
        const char* language = std::getenv("LANGUAGE");
        had_language_ = language != nullptr;
        if (had_language_) language_ = language;
        old_locale_ = std::setlocale(LC_ALL, nullptr);
        ::setenv("LANGUAGE", "zh_CN", 1);
        std::setlocale(LC_ALL, "C.UTF-8");
    }
    ~ChineseSystemMessages() {
        std::setlocale(LC_ALL, old_locale_.c_str());
        if (had_language_) {
            ::setenv("LANGUAGE", language_.c_str(), 1);
        } else {
            ::unsetenv("LANGUAGE");
        }
    }

private:
    bool had_language_ = false;
    std::string language_;
    std::string old_locale_;
};

TEST(LoadSegmentDatabase, AnUnreadableFileIsAnErrorNamingPathAndReason) {
    const TempDir dir;
    const std::string path = dir.Write("kelvaronset.dat", "13800000501\r\n");
    FailingOpenFileSystem fs(EACCES);
    const auto failure = [&]() -> FileError {
        try {
            LoadSegmentDatabase(fs, dir.path());
        } catch (const FileError& e) {
            return e;
        }
        throw std::logic_error("no error");
    };
    const FileError e = failure();
    EXPECT_EQ(e.op(), FileError::Op::Open);
    EXPECT_EQ(e.path(), path);
    EXPECT_EQ(e.code(), EACCES);
    EXPECT_EQ(e.reason(), SystemReason(EACCES));
    // Where the system's reason is translated it is UTF-8 all the same.
    const ChineseSystemMessages chinese;
    const std::string reason = failure().reason();
    EXPECT_EQ(reason, SystemReason(EACCES));
    EXPECT_TRUE(IsValidUtf8(reason)) << reason;
}

TEST(CodeTables, ReloadGivesTheBuiltInRowsWhateverTheTablesHeld) {
    CodeTables tables;
    const CodeRow stray[] = {{"99", "x"}};
    tables.provinces.Assign(stray);
    ReloadCodeTables(tables);
    ReloadCodeTables(tables);
    EXPECT_EQ(tables.provinces.size(), 32u);
    EXPECT_EQ(tables.provinces.NameCount(), 32u);
    EXPECT_EQ(tables.cities.size(), 385u);
    EXPECT_EQ(tables.cities.NameCount(), 385u);

    // Facts of the city table that other parts meet.
    std::set<std::string> provinces;
    for (std::size_t row = 0; row < 32; ++row) provinces.emplace(tables.provinces.Code(row));
    std::string previous;
    std::vector<std::string> repeated;
    std::set<std::string> names;
    for (std::size_t row = 0; row < tables.cities.size(); ++row) {
        const std::string code(tables.cities.Code(row));
        ASSERT_EQ(code.size(), 4u);
        EXPECT_LT(previous, code);  // strictly ascending
        EXPECT_TRUE(provinces.count(code.substr(0, 2))) << code;
        previous = code;
        if (!names.emplace(tables.cities.Name(row)).second) repeated.push_back(code);
    }
    EXPECT_EQ(repeated, V{"1301"});
    const auto city = [&](std::string_view code) {
        return Utf8FromGbk(tables.cities.Name(*tables.cities.Find(code, DefaultCollation())));
    };
    EXPECT_EQ(city("0400"), "重庆");
    EXPECT_EQ(city("0501"), "南京");
    EXPECT_EQ(city("2410"), "海南");
    EXPECT_EQ(city("2808"), "吉林");
    EXPECT_EQ(city("3207"), "阿里");
}

TEST(CodeTables, NamesOutliveTheTables) {
    std::string_view name;
    {
        CodeTables tables;
        ReloadCodeTables(tables);
        name = tables.cities.Name(4);
        ReloadCodeTables(tables);
    }
    EXPECT_EQ(Utf8FromGbk(name), "南京");
}

TEST(CodeTableFind, FirstEqualRowIgnoringCaseOnly) {
    const LocaleCollation& c = DefaultCollation();
    CodeTables tables;
    ReloadCodeTables(tables);
    EXPECT_EQ(tables.provinces.Find("01", c), 0u);
    EXPECT_EQ(tables.provinces.Find("05", c), 4u);
    EXPECT_EQ(tables.provinces.Find("13", c), 12u);
    EXPECT_EQ(Utf8FromGbk(tables.provinces.Name(12)), "重庆");
    EXPECT_EQ(Utf8FromGbk(tables.provinces.Name(3)), "重庆");
    EXPECT_EQ(tables.provinces.Find("32", c), 31u);
    EXPECT_EQ(tables.cities.Find("0100", c), 0u);
    EXPECT_EQ(tables.cities.Find("3207", c), 384u);
    for (const std::string code : {"00", "33", "", "5", "005", "05 ", " 05", "0501", "O5"}) {
        EXPECT_FALSE(tables.provinces.Find(code, c)) << code;
    }
    EXPECT_FALSE(tables.provinces.Find(GbkFromUtf8("０５"), c));  // width is not case
    EXPECT_FALSE(tables.cities.Find("05", c));

    // Letters, repeated codes and codes longer than four digits in a table of our own.
    const CodeRow rows[] = {{"aB", "1"},     {"07", "2"}, {"Ab", "3"},    {"07", "4"},
                            {"123456", "5"}, {"x", "6"},  {"123456", "7"}};
    CodeTable table;
    table.Assign(rows);
    EXPECT_EQ(table.Find("AB", c), 0u);
    EXPECT_EQ(table.Find("ab", c), 0u);
    EXPECT_EQ(table.Find("07", c), 1u);
    EXPECT_EQ(table.Find("X", c), 5u);
    EXPECT_EQ(table.Find("123456", c), 4u);
    EXPECT_FALSE(table.Find("a", c));
    EXPECT_FALSE(table.Find("12345", c));
    EXPECT_FALSE(CodeTable().Find("07", c));
}

}  // namespace
}  // namespace haojian

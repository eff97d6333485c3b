// Export: masking, layouts, filters, and the file written whole or not at all.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "core/base/error.h"
#include "core/export/export.h"
#include "core/text/fixed_texts.h"
#include "core/text/gbk.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

using testing::FaultyFileSystem;
using testing::FileNames;
using testing::ReadFileBytes;
using testing::TempDir;

class Rows final : public ResultTable {
public:
    explicit Rows(std::vector<ResultRowView> rows) : rows_(std::move(rows)) {}
    std::size_t size() const override { return rows_.size(); }
    ResultRowView Row(std::size_t i) const override { return rows_[i]; }

private:
    std::vector<ResultRowView> rows_;
};

const std::string kNanjing = GbkFromUtf8("南京");
const std::string kJiangsu = GbkFromUtf8("江苏");
const std::string kChongqing = GbkFromUtf8("重庆");

// SampleRows() in the number layout.
const std::string kSampleNumbers = "138000012**\r\n1330000**\r\n**\r\n131000012**\r\n";

Rows SampleRows() {
    return Rows({
        {"13800001234", kJiangsu, kNanjing, text::kCardMobile},
        {"1330000", text::kUnknown, text::kUnknown, text::kCardTelecom},
        {"", text::kUnknown, text::kUnknown, text::kUnknown},
        {"13100001234567", kChongqing, kChongqing, text::kCardUnicom},
    });
}

std::string MaskedNumber(std::string_view number) {
    std::string masked;
    AppendMaskedNumber(masked, number);
    return masked;
}

TEST(Export, MaskKeepsNineBytes) {
    EXPECT_EQ(MaskedNumber("13812345678"), "138123456**");
    EXPECT_EQ(MaskedNumber("1381234567890"), "138123456**");
    EXPECT_EQ(MaskedNumber("1380"), "1380**");
    EXPECT_EQ(MaskedNumber(""), "**");
    // Bytes, not characters: a double-byte character may be cut in two.
    EXPECT_EQ(MaskedNumber("12345678" + kNanjing), "12345678\xC4**");
}

TEST(Export, LayoutIsOneOfSixExactTexts) {
    EXPECT_EQ(ExportLayoutFromText(text::kLayoutNumber), ExportLayout::kNumber);
    EXPECT_EQ(ExportLayoutFromText(text::kLayoutNumberCityCard), ExportLayout::kNumberCityCard);
    EXPECT_EQ(ExportLayoutFromText(text::kLayoutNumberProvinceCard),
              ExportLayout::kNumberProvinceCard);
    EXPECT_FALSE(ExportLayoutFromText(""));
    EXPECT_FALSE(ExportLayoutFromText(std::string(text::kLayoutNumber) + " "));
    EXPECT_FALSE(ExportLayoutFromText(GbkFromUtf8("手机号码＋城市")));  // full-width plus
    EXPECT_FALSE(ExportLayoutFromText(GbkFromUtf8("手机号码+省份+城市")));
}

TEST(Export, FiltersAreExactUnlessWildcards) {
    const ResultRowView row{"1", kJiangsu, kNanjing, text::kCardMobile};
    EXPECT_TRUE(ExportFilter{}.Passes(row));
    EXPECT_TRUE((ExportFilter{kJiangsu, kNanjing, text::kCardMobile}.Passes(row)));
    EXPECT_FALSE((ExportFilter{kJiangsu + " ", text::kAnyCity, text::kAnyCard}.Passes(row)));
    EXPECT_FALSE((ExportFilter{text::kAnyProvince, text::kAnyCity, text::kUnknown}.Passes(row)));
    // A wildcard only stands for its own filter.
    EXPECT_FALSE((ExportFilter{text::kAnyCity, text::kAnyCity, text::kAnyCard}.Passes(row)));
}

TEST(Export, WritesPassingRowsInOrderWithCrLf) {
    TempDir dir;
    const std::string path = dir.path() + "out.txt";
    const Rows rows = SampleRows();

    EXPECT_EQ(ExportRows(rows, {}, text::kLayoutNumber, path), 4u);
    EXPECT_EQ(ReadFileBytes(path), kSampleNumbers);

    EXPECT_EQ(ExportRows(rows, {}, text::kLayoutNumberCityCard, path), 4u);
    const std::string first = "138000012** " + kNanjing + " " + std::string(text::kCardMobile);
    EXPECT_EQ(ReadFileBytes(path).substr(0, first.size() + 2), first + "\r\n");

    const ExportFilter unknown{text::kUnknown, text::kAnyCity, text::kAnyCard};
    EXPECT_EQ(ExportRows(rows, unknown, text::kLayoutNumberProvince, path), 2u);
    const std::string u(text::kUnknown);
    EXPECT_EQ(ReadFileBytes(path), "1330000** " + u + "\r\n** " + u + "\r\n");

    // Nothing passes: the file is there and empty, replacing the last export.
    const std::string beijing = GbkFromUtf8("北京");
    const ExportFilter typed{beijing, text::kAnyCity, text::kAnyCard};
    EXPECT_EQ(ExportRows(rows, typed, text::kLayoutNumber, path), 0u);
    EXPECT_EQ(ReadFileBytes(path), "");
    EXPECT_EQ(Utf8FromGbk(ExportedStatusText(125)), "导出符合数据125条");
}

TEST(Export, UnknownLayoutWritesNothing) {
    TempDir dir;
    const std::string path = dir.Write("out.txt", "old");
    try {
        ExportRows(SampleRows(), {}, "Number+Everything", path);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("\"Number+Everything\""), std::string::npos);
    }
    EXPECT_EQ(ReadFileBytes(path), "old");
    EXPECT_EQ(FileNames(dir.path()), std::vector<std::string>{"out.txt"});
}

TEST(Export, PathsThatNameNoFileToWrite) {
    TempDir dir;
    const std::string file = dir.Write("file.txt", "keep");
    std::filesystem::create_directory(dir.path() + "folder");
    std::filesystem::create_symlink(dir.path() + "none/out.txt", dir.path() + "dangling");
    // A missing folder, a file used as a folder (also behind a link), a folder given as the
    // file: each fails to be made, with the system's code.
    for (const auto& [path, code] :
         {std::pair{dir.path() + "no/such/dir/out.txt", ENOENT},
          std::pair{file + "/out.txt", ENOTDIR}, std::pair{dir.path() + "dangling", ENOENT},
          std::pair{dir.path() + "folder", EISDIR}, std::pair{dir.path() + "folder/", EISDIR}}) {
        try {
            ExportRows(SampleRows(), {}, text::kLayoutNumber, path);
            ADD_FAILURE() << "no error for " << path;
        } catch (const FileError& e) {
            EXPECT_EQ(e.op(), FileError::Op::Create) << path;
            EXPECT_EQ(e.path(), path);
            EXPECT_EQ(e.code(), code) << path;
        }
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() + "folder"));
    EXPECT_EQ(ReadFileBytes(file), "keep");
    EXPECT_EQ(FileNames(dir.path()), (std::vector<std::string>{"dangling", "file.txt", "folder"}));
}

TEST(Export, TargetThatCannotBeWrittenIsLeftAlone) {
    TempDir dir;

    if (::geteuid() == 0) GTEST_SKIP() << "root may write a read-only file";
    const std::string path = dir.Write("out.txt", "keep");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    try {
        ExportRows(SampleRows(), {}, text::kLayoutNumber, path);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.code(), EACCES);
    }
    EXPECT_EQ(ReadFileBytes(path), "keep");
}

TEST(Export, LinksAndPipesAreWrittenThroughNotReplaced) {
    TempDir dir;
    const std::string real = dir.Write("real.txt", "old");
    std::filesystem::create_symlink(real, dir.path() + "link.txt");
    EXPECT_EQ(ExportRows(SampleRows(), {}, text::kLayoutNumber, dir.path() + "link.txt"), 4u);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() + "link.txt"));
    EXPECT_EQ(ReadFileBytes(real), kSampleNumbers);

    const std::string fifo = dir.path() + "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadFileBytes(fifo); });
    EXPECT_EQ(ExportRows(SampleRows(), {}, text::kLayoutNumber, fifo), 4u);
    reader.join();
    EXPECT_EQ(received, kSampleNumbers);
    EXPECT_EQ(std::filesystem::status(fifo).type(), std::filesystem::file_type::fifo);
    EXPECT_EQ(FileNames(dir.path()), (std::vector<std::string>{"fifo", "link.txt", "real.txt"}));
}

TEST(Export, EveryFailingFileOperationLeavesTheOldFile) {
    // Enough rows for several buffer loads, so that more than one write call is made.
    std::vector<ResultRowView> many(400000, {"13912345678", kJiangsu, kNanjing, text::kCardMobile});
    const Rows rows(std::move(many));
    TempDir dir;
    const std::string path = dir.Write("out.txt", "old content\r\n");

    FaultyFileSystem counter;
    ExportRows(rows, {}, text::kLayoutNumberCityCard, dir.path() + "probe.txt", counter);
    ASSERT_GT(counter.Calls(FaultyFileSystem::Op::Write), 1);
    std::filesystem::remove(dir.path() + "probe.txt");

    for (const auto op : {FaultyFileSystem::Op::Create, FaultyFileSystem::Op::Write,
                          FaultyFileSystem::Op::Close, FaultyFileSystem::Op::Rename}) {
        for (int nth = 1; nth <= counter.Calls(op); ++nth) {
            FaultyFileSystem fs;
            fs.FailAt(op, nth, op == FaultyFileSystem::Op::Write ? ENOSPC : EACCES);
            try {
                ExportRows(rows, {}, text::kLayoutNumberCityCard, path, fs);
                ADD_FAILURE() << "no error for op " << int(op) << " call " << nth;
            } catch (const FileError& e) {
                EXPECT_EQ(e.code(), op == FaultyFileSystem::Op::Write ? ENOSPC : EACCES);
                EXPECT_EQ(e.path(), path);
            }
            EXPECT_EQ(ReadFileBytes(path), "old content\r\n");
            EXPECT_EQ(FileNames(dir.path()), std::vector<std::string>{"out.txt"});
        }
    }
}

}  // namespace
}  // namespace haojian

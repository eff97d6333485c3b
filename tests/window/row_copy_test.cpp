// Copying rows, as both windows do it: the ranges taken, the text, the limit and its message.
#include "window/row_copy.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/run/result_table.h"

namespace haojian {
namespace {

// Row i: number "1380000000i", province "\xBD\xAD\xCB\xD5" (江苏), city "南京", card "移动" in GBK.
class Rows final : public ResultTable {
public:
    explicit Rows(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            numbers_.push_back("1380000000" + std::to_string(i));
    }
    std::size_t size() const override { return numbers_.size(); }
    ResultRowView Row(std::size_t i) const override {
        return {numbers_[i], "\xBD\xAD\xCB\xD5", "\xC4\xCF\xBE\xA9", "\xD2\xC6\xB6\xAF"};
    }

private:
    std::vector<std::string> numbers_;
};

struct Copier {
    std::atomic<std::uint64_t> posted{0};  // the last end posted by the copy's thread
    std::vector<bool> pointer;
    std::vector<std::u16string> told;
    std::vector<std::u16string> clipboard;
    RowCopy copy{RowCopySeams{[this](bool busy) { pointer.push_back(busy); },
                              [this](std::u16string_view text) { told.emplace_back(text); },
                              [this](std::u16string text) { clipboard.push_back(text); }},
                 [this](std::uint64_t id) { posted = id; }, u"\r\n"};

    // Waits for the copy's thread as a window's event loop would, by its posted end.
    void Finish() {
        while (copy.Copying()) {
            if (const std::uint64_t id = posted.load()) copy.Finish(id);
            std::this_thread::yield();
        }
    }
};

TEST(RowCopy, RangesAreJoinedSortedAndCutToTheShownRows) {
    EXPECT_EQ(JoinRowRanges({{5, 9}, {2, 6}, {10, 10}}, 8), (std::vector<RowRange>{{2, 7}}));
    EXPECT_EQ(JoinRowRanges({{5, 9}, {2, 6}, {10, 10}}, 100), (std::vector<RowRange>{{2, 10}}));
    EXPECT_EQ(JoinRowRanges({{7, 7}, {0, 1}, {20, 30}}, 10),
              (std::vector<RowRange>{{0, 1}, {7, 7}}));
    EXPECT_EQ(RowCount({{0, 1}, {7, 7}}), 3u);
    EXPECT_TRUE(JoinRowRanges({{3, 4}}, 0).empty());
}

TEST(RowCopy, TextBuiltOffTheUiThreadUnderTheBusyPointer) {
    Copier c;
    c.copy.Copy(std::make_shared<Rows>(5), {{1, 2}, {4, 4}});
    EXPECT_TRUE(c.copy.Copying());
    c.copy.Copy(std::make_shared<Rows>(5), {{0, 0}});  // not started meanwhile
    c.Finish();
    ASSERT_EQ(c.clipboard.size(), 1u);
    EXPECT_EQ(c.clipboard[0],
              u"13800000001\t江苏\t南京\t移动\r\n13800000002\t江苏\t南京\t移动\r\n"
              u"13800000004\t江苏\t南京\t移动\r\n");
    EXPECT_EQ(c.pointer, (std::vector<bool>{true, false}));
    EXPECT_TRUE(c.told.empty());
}

// More rows than the limit are refused with a message naming both numbers and haojian-cli; the
// clipboard is not touched and no pointer changes.
TEST(RowCopy, BeyondTheLimitRefusedWithAMessage) {
    EXPECT_EQ(RowCopy::kLimit, 1000000u);
    Copier c;
    c.copy.SetLimit(3);
    c.copy.Copy(std::make_shared<Rows>(10), {{0, 3}});
    EXPECT_FALSE(c.copy.Copying());
    ASSERT_EQ(c.told.size(), 1u);
    EXPECT_EQ(c.told[0],
              u"选中了 4 行，超过复制的上限 3 行。完整的行请用命令行工具 haojian-cli lookup "
              u"查询并保存为文件。");
    EXPECT_TRUE(c.clipboard.empty());
    EXPECT_TRUE(c.pointer.empty());

    c.copy.Copy(std::make_shared<Rows>(10), {{0, 2}});  // exactly the limit
    c.Finish();
    EXPECT_EQ(c.clipboard.size(), 1u);
}

}  // namespace
}  // namespace haojian

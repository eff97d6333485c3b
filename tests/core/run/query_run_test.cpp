// Import, the refusals of Query, and the lists the run keeps its texts in.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "core/base/error.h"
#include "core/collation/collation.h"
#include "core/files/file_system.h"
#include "core/run/query_run.h"
#include "core/run/result_table.h"
#include "core/run/seen_texts.h"
#include "core/run/text_pool.h"
#include "core/text/fixed_texts.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/run_fakes.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

std::string Refusal(QueryRun& run) {
    try {
        run.Query();
    } catch (const Error& e) {
        return std::string(e.message());
    }
    return "<accepted>";
}

TEST(QueryRun, RefusalsInOrderAndAFailedImportKeepingTheOldRows) {
    testing::TempDir dir;
    testing::FakeRunView view;
    testing::FakeWaker waker;
    QueryRun run(view, waker);
    run.Import(dir.Write("list.txt",
                         "\xEF\xBB\xBF"
                         "13800001234\r\n\r\n 139 \r"));
    EXPECT_EQ(run.NumberCount(), 3u);
    EXPECT_EQ(run.Number(0),
              "\xEF\xBB\xBF"
              "13800001234");  // no mark recognised
    EXPECT_EQ(run.Number(2), " 139 ");
    EXPECT_EQ(Refusal(run), text::kRefuseNoDatabase);  // whatever the list holds

    run.SetDatabase(testing::SmallDatabase());
    run.Import(dir.Write("empty.txt", ""));
    EXPECT_EQ(view.panels[RunStatus::NumberCount], "0");
    EXPECT_EQ(view.panels[RunStatus::Message], text::kStatusImported);
    EXPECT_EQ(Refusal(run), text::kRefuseNoList);

    run.Import(dir.Write("list.txt", "13800001234\n13900005678\n"));
    run.Query();
    testing::PumpUntilWorkerEnds(run, waker);
    const auto panels = view.panels;
    EXPECT_EQ(Refusal(run), text::kRefuseImportAgain);
    EXPECT_EQ(view.panels, panels);

    const std::string missing = dir.path() + "gone.txt";
    try {
        run.Import(missing);
        ADD_FAILURE() << "a missing file imported";
    } catch (const FileError& e) {
        EXPECT_EQ(e.op(), FileError::Op::Open);
        EXPECT_EQ(e.path(), missing);
        EXPECT_EQ(e.code(), ENOENT);
    }
    EXPECT_EQ(run.NumberCount(), 0u);
    EXPECT_EQ(testing::RowsOf(run), (std::vector<testing::RowTexts>{
                                        testing::ExpectedRow(run.Database(), "13800001234"),
                                        testing::ExpectedRow(run.Database(), "13900005678")}));
    EXPECT_EQ(view.panels, panels);
    EXPECT_EQ(run.QueryCursor(), 3);
    EXPECT_EQ(Refusal(run), text::kRefuseNoList);
}

TEST(QueryRun, ImportLetsTheOldRowsGoOnceTheNewFileIsOpen) {
    testing::TempDir dir;
    testing::FakeRunView view;
    testing::FakeWaker waker;
    testing::FaultyFileSystem fs;
    QueryRun run(view, waker, fs);
    run.SetDatabase(testing::SmallDatabase());
    const std::string list = dir.Write("list.txt", "13800001234\n13900005678\n");
    run.Import(list);  // reads 1 and 2
    run.Query();
    testing::PumpUntilWorkerEnds(run, waker);
    ASSERT_EQ(view.shown_rows, 2u);
    // Opened, then failing as it is read: the old list and rows went before the read, so that
    // both lists are never held at once.
    fs.FailAt(testing::FaultyFileSystem::Op::Read, 3, EIO);
    try {
        run.Import(list);
        ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.op(), FileError::Op::Read);
        EXPECT_EQ(e.path(), list);
        EXPECT_EQ(e.reason(), SystemReason(EIO));
    }
    EXPECT_EQ(run.Rows().size(), 0u);
    EXPECT_EQ(view.shown_rows, 0u);
    EXPECT_EQ(run.NumberCount(), 0u);
    EXPECT_EQ(Refusal(run), text::kRefuseNoList);
}

TEST(SeenTexts, CaseFoldedTextsCountOnceAndTheFirstStands) {
    TextPool pool;
    SeenTexts seen(DefaultCollation());
    const auto insert = [&](std::string_view text) {
        const std::uint32_t id = pool.Intern(text);
        seen.Insert(id, pool.Text(id));
    };
    for (const char* text : {"Beijing", "anhui", "BEIJING", "Beijing", "beijing", "Anhui"}) {
        insert(text);
    }
    EXPECT_EQ(seen.Texts(), (std::vector<std::string_view>{"anhui", "Beijing"}));
    seen.Clear();  // a new run forgets what the last one saw
    insert("BEIJING");
    insert("Beijing");
    EXPECT_EQ(seen.Texts(), (std::vector<std::string_view>{"BEIJING"}));
}

TEST(TextIdCache, GivesTheIdOfTheBytesNotOfTheAddress) {
    TextPool pool;
    TextIdCache cache(pool);
    const std::string a = "a long province name", b = "a long province name";
    EXPECT_EQ(cache.Id(a), cache.Id(b));
    EXPECT_NE(cache.Id("ab"), cache.Id(std::string_view("ab\0", 3)));
    EXPECT_NE(cache.Id(""), cache.Id(std::string_view("\0", 1)));
    // Other bytes at a known address are seen after Clear.
    std::string moving = "first long text here";
    const std::uint32_t first = cache.Id(moving);
    moving.replace(0, 5, "other");
    cache.Clear();
    EXPECT_EQ(pool.Text(cache.Id(moving)), "other long text here");
    EXPECT_EQ(pool.Text(first), "first long text here");
}

}  // namespace
}  // namespace haojian

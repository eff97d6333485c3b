// Import, the refusals of Query, a complete run with its progress tick, and the pieces the run
// keeps its rows and seen texts in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "collation.h"
#include "error.h"
#include "fake_run_view.h"
#include "file_system.h"
#include "fixed_texts.h"
#include "query_run.h"
#include "result_table.h"
#include "run_test_data.h"
#include "seen_texts.h"
#include "test_files.h"
#include "text_pool.h"

namespace haojian {
namespace {

using testing::ExpectedRow;
using testing::RowTexts;

std::vector<RowTexts> RowsOf(const QueryRun& run) {
    std::vector<RowTexts> rows;
    for (std::size_t i = 0; i < run.Rows().size(); ++i) {
        const ResultRowView r = run.Rows().Row(i);
        rows.push_back({std::string(r.number), std::string(r.province), std::string(r.city),
                        std::string(r.card_type)});
    }
    return rows;
}

std::string Refusal(QueryRun& run) {
    try {
        run.Query();
    } catch (const Error& e) {
        return std::string(e.message());
    }
    return "<accepted>";
}

class QueryRunTest : public ::testing::Test {
protected:
    void LoadDatabase() { run.SetDatabase(testing::SmallDatabase()); }
    void Import(const std::string& bytes) { run.Import(dir.Write("list.txt", bytes)); }
    void RunToEnd() {
        run.Query();
        testing::PumpUntilWorkerEnds(run, waker);
    }
    std::vector<RowTexts> Expected(const std::vector<std::string>& numbers) const {
        std::vector<RowTexts> rows;
        for (const std::string& n : numbers) rows.push_back(ExpectedRow(run.Database(), n));
        return rows;
    }

    testing::TempDir dir;
    testing::FakeRunView view;
    testing::FakeWaker waker;
    QueryRun run{view, waker};
};

TEST_F(QueryRunTest, ImportedLinesBecomeRowsExactlyAsWritten) {
    LoadDatabase();
    Import(
        "\xEF\xBB\xBF"
        "13800001234\r\n\r\n 13900005678 \r\t\n13911110000");
    const std::vector<std::string> numbers = {
        "\xEF\xBB\xBF"
        "13800001234",
        "", " 13900005678 ", "\t", "13911110000"};
    ASSERT_EQ(run.NumberCount(), numbers.size());
    for (std::size_t i = 0; i < numbers.size(); ++i) EXPECT_EQ(run.Number(i), numbers[i]);
    EXPECT_EQ(view.Panel(kPanelNumberCount), "5");
    EXPECT_EQ(view.Panel(kPanelStatus), text::kStatusImported);
    EXPECT_EQ(run.QueryCursor(), 1);

    RunToEnd();
    EXPECT_EQ(RowsOf(run), Expected(numbers));
    EXPECT_EQ(view.shown_rows, numbers.size());
    EXPECT_FALSE(view.rows_out_of_order);
}

TEST_F(QueryRunTest, RefusalsComeInTheirOrderAndChangeNothing) {
    Import("13800001234\n");
    EXPECT_EQ(Refusal(run), text::kRefuseNoDatabase);  // whatever the list holds

    LoadDatabase();
    Import("");
    EXPECT_EQ(view.Panel(kPanelNumberCount), "0");
    EXPECT_EQ(view.Panel(kPanelStatus), text::kStatusImported);
    EXPECT_EQ(Refusal(run), text::kRefuseNoList);

    Import("13800001234\n");
    RunToEnd();
    const auto after_run = view.panels;
    EXPECT_EQ(Refusal(run), text::kRefuseImportAgain);
    EXPECT_EQ(view.panels, after_run);
    EXPECT_EQ(run.State(), RunState::Complete);

    // A new Import starts again at the first entry.
    Import("13900005678\n13800001234\n");
    RunToEnd();
    EXPECT_EQ(RowsOf(run), Expected({"13900005678", "13800001234"}));
}

TEST_F(QueryRunTest, FailedImportEmptiesTheListButKeepsRowsAndPanels) {
    LoadDatabase();
    Import("13800001234\n13900005678\n");
    RunToEnd();
    const auto rows = RowsOf(run);
    const auto panels = view.panels;

    const std::string missing = dir.path() + "no such list.txt";
    try {
        run.Import(missing);
        FAIL() << "Import of a missing file succeeded";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(),
                  "Cannot open file \"" + PathForMessage(missing) + "\". " + SystemReason(ENOENT));
    }
    EXPECT_EQ(run.NumberCount(), 0u);
    EXPECT_EQ(RowsOf(run), rows);
    EXPECT_EQ(view.panels, panels);
    EXPECT_EQ(run.QueryCursor(), 3);
    EXPECT_EQ(Refusal(run), text::kRefuseNoList);
}

TEST_F(QueryRunTest, CompleteRunFillsTheBoxesAtTheNextTick) {
    LoadDatabase();
    std::string file;
    for (const std::string& n : testing::kSampleNumbers) file += n + "\r\n";
    Import(file);
    run.Query();
    // Query itself writes no progress panel, and the timer starts with the run.
    EXPECT_EQ(view.Panel(kPanelProgress), "");
    EXPECT_TRUE(view.timer_running);
    EXPECT_EQ(view.progress_maximum, int(testing::kSampleNumbers.size()));
    testing::PumpUntilWorkerEnds(run, waker);

    EXPECT_EQ(RowsOf(run), Expected(testing::kSampleNumbers));
    EXPECT_EQ(view.Panel(kPanelProgress), std::to_string(testing::kSampleNumbers.size()));
    EXPECT_EQ(view.Panel(kPanelStatus), text::kStatusComplete);
    for (Command c : {Command::Import, Command::Query, Command::Stop}) EXPECT_TRUE(view.Enabled(c));
    EXPECT_TRUE(view.province_box.empty());

    run.TimerTick();
    EXPECT_EQ(view.progress_position, view.progress_maximum);
    EXPECT_FALSE(view.timer_running);
    // Both codes of Chongqing give one entry, and the boxes hold the run's texts in order.
    const std::string chongqing = "\xD6\xD8\xC7\xEC";
    const std::vector<std::string> provinces = {std::string(text::kAnyProvince), "\xBD\xAD\xCB\xD5",
                                                chongqing, std::string(text::kUnknown),
                                                "\xB9\xE3\xB6\xAB"};
    std::vector<std::string> sorted(provinces.begin() + 1, provinces.end());
    std::sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
        return DefaultCollation().Less(a, b);
    });
    sorted.insert(sorted.begin(), std::string(text::kAnyProvince));
    EXPECT_EQ(view.province_box, sorted);
    EXPECT_EQ(view.city_box.front(), text::kAnyCity);
    EXPECT_EQ(view.city_box.size(), 5u);  // Nanjing, Chongqing, unknown, Guangzhou

    // Import keeps the boxes and the progress panel; the next complete run replaces them.
    Import("13911110000\n");
    EXPECT_EQ(view.province_box, sorted);
    EXPECT_EQ(view.Panel(kPanelProgress), std::to_string(testing::kSampleNumbers.size()));
    RunToEnd();
    run.TimerTick();
    EXPECT_EQ(view.province_box,
              (std::vector<std::string>{std::string(text::kAnyProvince), chongqing}));
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

    // A new run forgets what the last one saw.
    seen.Clear();
    insert("BEIJING");
    insert("Beijing");
    EXPECT_EQ(seen.Texts(), (std::vector<std::string_view>{"BEIJING"}));
}

TEST(TextIdCache, GivesTheIdOfTheBytesNotOfTheAddress) {
    TextPool pool;
    TextIdCache cache(pool);
    // Equal bytes at different places share an id, short or long.
    const std::string a = "a long province name", b = "a long province name";
    EXPECT_EQ(cache.Id(a), cache.Id(b));
    EXPECT_EQ(cache.Id(std::string("ab")), cache.Id(std::string("ab")));
    EXPECT_NE(cache.Id("ab"), cache.Id(std::string_view("ab\0", 3)));
    EXPECT_NE(cache.Id(""), cache.Id("ab"));

    // Other bytes at a known address are seen after Clear.
    std::string moving = "first long text here";
    const std::uint32_t first = cache.Id(moving);
    moving.replace(0, 5, "other");
    cache.Clear();
    const std::uint32_t second = cache.Id(moving);
    EXPECT_NE(first, second);
    EXPECT_EQ(pool.Text(second), "other long text here");
    EXPECT_EQ(pool.Text(first), "first long text here");
}

}  // namespace
}  // namespace haojian

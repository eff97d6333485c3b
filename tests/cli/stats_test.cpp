// haojian-cli stats against a plain count of what lookup gives.
#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/text/gbk.h"
#include "tests/cli/cli_fixture.h"

namespace haojian {
namespace {

struct Line {
    std::string name;
    std::size_t count;
    std::string percent;
};

std::vector<Line> ParseStats(const std::string& out) {
    std::vector<Line> lines;
    std::istringstream in(out);
    std::string name, count, percent;
    while (std::getline(in, name, '\t') && std::getline(in, count, '\t') &&
           std::getline(in, percent)) {
        lines.push_back({name, std::stoul(count), percent});
    }
    return lines;
}

TEST_F(Cli, StatsCountWhatLookupGives) {
    // Numbers of both database segments, of blocks outside it and empty entries, unevenly.
    const std::vector<std::string> numbers = {
        "13800001234", "13900005678", "17012345678", "19912345678", "", "1380000", "12345"};
    std::string list;
    unsigned seed = 7;
    for (int i = 0; i < 997; ++i) {
        seed = seed * 1103515245 + 12345;
        list += numbers[(seed >> 16) % numbers.size() % (i % 3 + 5)] + "\n";
    }
    dir.Write("list.txt", list);
    const Result lookup = Run("lookup --utf8 --db " + db + " list.txt");
    ASSERT_EQ(lookup.status, 0) << lookup.err;

    std::map<std::string, std::map<std::string, std::size_t>> plain;  // field -> name -> count
    std::istringstream in(lookup.out);
    std::string number, province, city, card;
    std::size_t total = 0;
    while (std::getline(in, number, '\t') && std::getline(in, province, '\t') &&
           std::getline(in, city, '\t') && std::getline(in, card)) {
        ++plain["province"][province];
        ++plain["city"][city];
        ++plain["card"][card];
        ++total;
    }
    ASSERT_EQ(total, 997u);

    for (const std::string by : {"province", "city", "card"}) {
        const Result r = Run("stats --utf8 --by " + by + " --db " + db + " list.txt");
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<Line> lines = ParseStats(r.out);
        std::map<std::string, std::size_t> counted;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            counted[lines[i].name] = lines[i].count;
            if (i > 0) {
                EXPECT_GE(lines[i - 1].count, lines[i].count) << by;
            }
            char percent[32];
            std::snprintf(percent, sizeof percent, "%.2f%%", 100.0 * lines[i].count / total);
            EXPECT_EQ(lines[i].percent, percent);
        }
        EXPECT_EQ(counted, plain[by]) << by;
    }
    // Province is the default; without --utf8 the names are GBK.
    const Result gbk = Run("stats --db " + db + " list.txt");
    EXPECT_EQ(Utf8FromGbk(gbk.out), Run("stats --utf8 --by province --db " + db + " list.txt").out);
    EXPECT_NE(gbk.out.find(GbkFromUtf8("未知")), std::string::npos);
}

}  // namespace
}  // namespace haojian

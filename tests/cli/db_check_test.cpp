// haojian-cli db check on sound and broken databases.
#include <string>

#include "tests/cli/cli_fixture.h"

namespace haojian {
namespace {

TEST_F(Cli, DbCheckPassesASoundDatabaseAndCountsItsBlocks) {
    // Province-level lines, repeats and empty lines give no wrong answer.
    dir.Write("sound.dat",
              "130000003003\r\n130000105011\r\n\r\n199000007012\r\n130000003003\r\n"
              "138000008992\n170000001004");
    const Result r = Run("db check --db sound.dat");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    for (const std::string part :
         {"lines: 7\n", "  13x:      2      0      0      0      0      0      0      0      1",
          "  17x:      1",
          "  19x:      0      0      0      0      0      0      0      0      0"
          "      1\n",
          "empty lines: 1\n  line 3: \n",
          "repeated prefixes (the later lines are never used): 1\n"
          "  line 5: 130000003003\n",
          "lines at province level (city 未知 by design): 1\n  line 6: 138000008992\n",
          "result: sound\n"}) {
        EXPECT_TRUE(Contains(r.out, part)) << part << "\n" << r.out;
    }
}

TEST_F(Cli, DbCheckFindsEveryLineThatWouldGiveAWrongAnswer) {
    dir.Write("broken.dat",
              "\xEF\xBB\xBF"
              "130000003003\r\n"      // a byte-order mark spoils the first prefix
              "13a0000050111\r\n"     // not seven digits
              "13000010501\r\n"       // no card digit
              "1300002330111\r\n"     // province 33
              "1300003059911\r\n"     // province level: 05 is known
              "1300004051411\r\n"     // city 0514: no such city
              "1300005050151\r\n"     // card digit 5
              "1300006\x1B[2J\r\n");  // a control sequence is shown escaped
    Result r = Run("db check --db broken.dat");
    EXPECT_EQ(r.status, 1);
    for (const std::string part :
         {"lines: 8\n",
          "lines whose first seven bytes are not digits: 2\n  line 1: "
          "\\xEF\\xBB\\xBF130000003003\n",
          "short lines (fewer than 12 bytes): 2\n  line 3: 13000010501\n"
          "  line 8: 1300006\\x1B[2J\n",
          "province codes in no table: 1\n  line 4: 1300002330111\n",
          "city codes in no table: 2\n  line 4: 1300002330111\n  line 6: 1300004051411\n",
          "card digits other than 1-4: 1\n  line 7: 1300005050151\n",
          "lines at province level (city 未知 by design): 1\n",
          "result: some lines would give 未知 or a wrong field\n"}) {
        EXPECT_TRUE(Contains(r.out, part)) << part << "\n" << r.out;
    }

    // A NUL byte ends the text: what follows is never read. (Not "nul.dat": Windows takes any
    // NUL.* for its null device.)
    dir.Write("cut.dat", std::string("130000003003\r\n1300\0"
                                     "00105011\r\n",
                                     30));
    r = Run("db check --db cut.dat");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.out, "lines: 2\n")) << r.out;
    EXPECT_TRUE(Contains(
        r.out,
        "\"cut.dat\" holds a NUL byte at byte offset 18: the 11 bytes after it are never read\n"))
        << r.out;

    r = Run("db check --db none.dat");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, "haojian-cli: db check: \"none.dat\": No segment database file"))
        << r.err;
}

TEST_F(Cli, DbCheckFailsADatabaseThatAnswersNoNumber) {
    // Empty, blank lines alone, or lines of which none is whole: no number finds its segment.
    for (const std::string bytes : {"", "\r\n\r\n", "1380000\r\n", "13800009901\r\n"}) {
        dir.Write("empty.dat", bytes);
        const Result r = Run("db check --db empty.dat");
        EXPECT_EQ(r.status, 1) << bytes;
        EXPECT_TRUE(Contains(r.out, "result: no line gives a number its place and card type\n"))
            << r.out;
    }
    // One sound line among province-level ones is enough.
    dir.Write("one.dat", "138000005011\r\n139000004992\r\n");
    EXPECT_EQ(Run("db check --db one.dat").status, 0);
}

}  // namespace
}  // namespace haojian

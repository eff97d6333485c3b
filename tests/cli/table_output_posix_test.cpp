// Workbooks that haojian-cli writes, as LibreOffice reads them back.
#include <string>

#include "core/text/gbk.h"
#include "tests/cli/cli_fixture.h"
#include "tests/support/office_sheets.h"

namespace haojian {
namespace {

TEST_F(Cli, WorkbooksOpenInLibreOfficeWithTheCellsWritten) {
    dir.Write("list.txt", "13800001234\n013900001234\n12345\n");
    // A table keeps every row with all its cells, the three answers after them.
    dir.Write("table.csv", GbkFromUtf8("名,手机,备注\n,,\n张三,+86 138-0000-1234,\"a,b\"\n"));
    ASSERT_EQ(Run("lookup -q --db " + db + " -o table.xlsx table.csv").status, 0);
    ASSERT_EQ(Run("lookup -q --db " + db + " -o look.xlsx list.txt").status, 0);
    ASSERT_EQ(Run("export -q --db " + db + " --split province --layout 手机号码+城市 " +
                  "-o split.xlsx list.txt")
                  .status,
              0);
    const auto look = testing::OfficeSheets(dir.path() + "look.xlsx");
    if (!look) GTEST_SKIP() << "soffice is not installed";
    ASSERT_EQ(look->size(), 1u);
    // Numbers stay text: no 1.38E+10, no leading zero lost.
    EXPECT_EQ(look->begin()->second,
              "手机号码,省份,城市,卡类\n13800001234,江苏,南京,移动\n"
              "013900001234,未知,未知,未知\n12345,未知,未知,未知\n");
    const std::map<std::string, std::string> split = {
        {"江苏", "手机号码,城市\n138000012**,南京\n"},
        {"未知", "手机号码,城市\n013900001**,未知\n12345**,未知\n"},
    };
    EXPECT_EQ(testing::OfficeSheets(dir.path() + "split.xlsx"), split);
    const auto table = testing::OfficeSheets(dir.path() + "table.xlsx");
    ASSERT_TRUE(table && table->size() == 1u);
    EXPECT_EQ(
        table->begin()->second,
        "名,手机,备注,省份,城市,卡类\n,,,,,\n张三,+86 138-0000-1234,\"a,b\",江苏,南京,移动\n");
}

}  // namespace
}  // namespace haojian

// The carriers that segment tables name, in the forms they come in.
#include "core/database/carrier_names.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <utility>

namespace haojian {
namespace {

TEST(CarrierNames, EveryCommonFormGivesItsCardDigit) {
    for (const auto& [name, digit] : std::initializer_list<std::pair<const char*, char>>{
             {"中国移动", '1'},
             {"移动", '1'},
             {"China Mobile", '1'},
             {"CMCC", '1'},
             {"中国电信", '2'},
             {"电信", '2'},
             {"china telecom", '2'},
             {"中国联通", '3'},
             {"联通", '3'},
             {"UNICOM", '3'},
             {"虚拟", '4'},
             {"移动虚拟", '4'},
             {"联通虚拟", '4'},
             {"电信虚拟", '4'},
             {"虚拟运营商", '4'},
             {"Virtual", '4'},
             {"MVNO", '4'},
         }) {
        EXPECT_EQ(CardDigitForCarrier(name), digit) << name;
    }
    for (const char* name : {"", "中国广电", "卫星", "unknown"}) {
        EXPECT_EQ(CardDigitForCarrier(name), std::nullopt) << name;
    }
}

}  // namespace
}  // namespace haojian

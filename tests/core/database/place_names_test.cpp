// Place descriptions of the geocoder mapped to the built-in city codes.
#include "core/database/place_names.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace haojian {
namespace {

using Kind = PlacePlacement::Kind;

class PlaceNames : public ::testing::Test {
protected:
    // Every (description, expected code) pair must land on a city of the table.
    void ExpectCities(const std::vector<std::pair<std::string, std::string>>& cases) {
        for (const auto& [description, code] : cases) {
            const PlacePlacement p = map_.Place(description);
            EXPECT_EQ(p.kind, Kind::City) << description;
            EXPECT_EQ(p.code, code) << description;
        }
    }
    const PlaceNameMap map_ = BuiltInPlaceNameMap();
};

TEST_F(PlaceNames, MunicipalitiesAreTheirOwnCityAndChongqingLandsOn04) {
    ExpectCities({
        {"北京市", "0100"},
        {"天津市", "0200"},
        {"天津", "0200"},
        {"上海市", "0300"},
        {"重庆市", "0400"},
        {"重庆", "0400"},
        // Districts are no cities of the table, even when a city elsewhere has their name.
        {"北京市朝阳区", "0100"},
        {"重庆市渝中区", "0400"},
        // Only province 13 lists these districts of 重庆.
        {"重庆市万州区", "1303"},
        {"重庆市黔江区", "1302"},
        {"重庆市涪陵区", "1304"},
    });
}

TEST_F(PlaceNames, ProvinceSuffixesAndAutonomousRegions) {
    ExpectCities({
        {"广东省广州市", "0701"},
        {"黑龙江省哈尔滨市", "3101"},
        {"内蒙古呼和浩特市", "2901"},
        {"内蒙古自治区包头市", "2903"},
        {"广西南宁市", "1001"},
        {"广西壮族自治区柳州市", "1002"},
        {"宁夏回族自治区银川市", "2601"},
        {"新疆维吾尔自治区乌鲁木齐市", "3001"},
        {"西藏自治区拉萨市", "3201"},
        // The province of a name that another province also uses as a city.
        {"海南省海口市", "1901"},
        {"青海省海南藏族自治州", "2410"},
        {"吉林省吉林市", "2808"},
        {"辽宁省朝阳市", "1406"},
    });
}

TEST_F(PlaceNames, PrefecturesLeaguesAndRegions) {
    ExpectCities({
        {"新疆伊犁哈萨克自治州", "3010"},
        {"新疆克孜勒苏柯尔克孜自治州", "3018"},
        {"新疆巴音郭楞蒙古自治州", "3019"},
        {"新疆吐鲁番地区", "3006"},
        {"新疆吐鲁番市", "3006"},
        {"贵州省黔南布依族苗族自治州", "2510"},
        {"贵州省黔东南苗族侗族自治州", "2511"},
        {"贵州省黔西南布依族苗族自治州", "2512"},
        {"贵州省毕节地区", "2509"},
        {"贵州省毕节市", "2509"},
        {"云南省西双版纳傣族自治州", "2718"},
        {"湖南省湘西土家族苗族自治州", "2215"},
        {"湖北省恩施土家族苗族自治州", "0804"},
        {"内蒙古兴安盟", "2915"},
        {"内蒙古锡林郭勒盟", "2918"},
        {"内蒙古阿拉善盟", "2916"},
        {"黑龙江省大兴安岭地区", "3113"},
    });
}

TEST_F(PlaceNames, RenamedCitiesKeepTheirTableNames) {
    ExpectCities({
        {"湖北省襄阳市", "0810"},  // 襄樊
        {"湖北省襄樊市", "0810"},
        {"湖北省潜江市", "0813"},  // 江汉
        {"湖北省天门市", "0813"},
        {"湖北省仙桃市", "0815"},
        {"云南省普洱市", "2723"},
        {"云南省思茅市", "2709"},
        {"安徽省巢湖市", "1705"},
    });
}

TEST_F(PlaceNames, CitiesTheTableLacksKeepTheirProvince) {
    for (const auto& [description, code] : std::vector<std::pair<std::string, std::string>>{
             {"湖北省神农架林区", "0899"},
             {"海南省三沙市", "1999"},
             {"新疆五家渠市", "3099"},
             {"吉林省", "2899"},  // the province alone, not its city 吉林
         }) {
        const PlacePlacement p = map_.Place(description);
        EXPECT_EQ(p.kind, Kind::UnlistedCity) << description;
        EXPECT_EQ(p.code, code) << description;
    }
    for (const std::string description : {"", "中国", "香港", "台湾省台北市", "美国"}) {
        EXPECT_EQ(map_.Place(description).kind, Kind::NoProvince) << description;
        EXPECT_EQ(map_.Place(description).code, "") << description;
    }
}

TEST_F(PlaceNames, ProvinceAndCityGivenApartAsTablesListThem) {
    const auto code = [&](std::string_view province, std::string_view city) {
        const PlacePlacement p = map_.Place(province, city);
        return p.kind == Kind::NoProvince ? std::string("none") : p.code;
    };
    EXPECT_EQ(code("广东", "广州"), "0701");
    EXPECT_EQ(code("广东省", "广州市"), "0701");
    EXPECT_EQ(code("广东省", "广东省广州市"), "0701");  // the city column repeats the province
    EXPECT_EQ(code("内蒙古自治区", "锡林郭勒盟"), "2918");
    EXPECT_EQ(code("吉林", "吉林"), "2808");
    EXPECT_EQ(code("青海", "海南藏族自治州"), "2410");
    EXPECT_EQ(code("湖北", "襄阳"), "0810");
    EXPECT_EQ(code("北京", ""), "0100");
    EXPECT_EQ(code("重庆市", "万州区"), "1303");
    EXPECT_EQ(code("重庆", "重庆"), "0400");
    EXPECT_EQ(code("海南", ""), "1999");
    EXPECT_EQ(code("海南", "三沙"), "1999");
    // The province text must be a province's name as a whole.
    EXPECT_EQ(code("广东广州", ""), "none");
    EXPECT_EQ(code("香港", "香港"), "none");
    EXPECT_EQ(code("", "广州"), "none");
}

}  // namespace
}  // namespace haojian

// Builds kelvaronset.dat from the offline geocoder of libphonenumber: one line for every
// seven-digit mobile prefix 1300000..1999999 that the geocoder places below the country.
//
//   segment_database_gen OUTPUT
//
// Prints what the database covers and what it leaves out.
#include <phonenumbers/geocoding/phonenumber_offline_geocoder.h>
#include <phonenumbers/phonenumber.pb.h>
#include <phonenumbers/phonenumberutil.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <cstdio>
#include <exception>
#include <iostream>
#include <set>
#include <string>

#include "core/database/place_names.h"
#include "core/database/segment_database_writer.h"
#include "core/lookup/built_in_code_rows.h"
#include "core/lookup/number_lookup.h"
#include "core/text/gbk.h"
#include "tools/support/segment_lines.h"

namespace {

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberOfflineGeocoder;
using i18n::phonenumbers::PhoneNumberUtil;

constexpr int kFirstPrefix = 1300000;
constexpr int kLastPrefix = 1999999;

std::string CityName(const std::string& code) {
    for (const haojian::CodeRow& row : haojian::kBuiltInCityRows) {
        if (row.code == code) return haojian::Utf8FromGbk(row.name);
    }
    return {};
}

void PrintReport(const haojian::tools::SegmentLinesReport& r) {
    std::set<std::string> provinces;
    std::size_t cities = 0;
    for (const auto& [code, count] : r.lines_per_city) {
        provinces.insert(code.substr(0, 2));
        if (!CityName(code).empty()) ++cities;
    }
    const std::string bytes = r.database.Bytes();
    std::cout << "lines: " << r.database.size() << " (prefixes " << kFirstPrefix << "-"
              << kLastPrefix << ")\n";
    std::cout << "by card type:";
    for (const auto& [digit, count] : r.lines_per_card) {
        std::cout << " " << haojian::Utf8FromGbk(haojian::CardTypeForDigit({&digit, 1})) << " "
                  << count;
    }
    std::cout << "\nprovince codes reached: " << provinces.size() << " of "
              << haojian::kBuiltInProvinceRows.size() << "\n";
    std::cout << "table cities reached: " << cities << " of " << haojian::kBuiltInCityRows.size()
              << "\n";
    std::set<std::string> blocks;
    for (std::size_t at = 0; at < bytes.size();
         at += haojian::SegmentDatabaseWriter::kLineBytes + 2)
        blocks.insert(bytes.substr(at, 3));
    std::cout << "three-digit blocks without a line:";
    for (int block = kFirstPrefix / 10000; block <= kLastPrefix / 10000; ++block) {
        if (!blocks.contains(std::to_string(block))) std::cout << " " << block;
    }
    std::cout << "\n";
    std::cout << "table cities not reached:";
    for (const haojian::CodeRow& row : haojian::kBuiltInCityRows) {
        if (!r.lines_per_city.contains(std::string(row.code))) {
            std::cout << " " << row.code << " " << haojian::Utf8FromGbk(row.name);
        }
    }
    std::cout << "\n";
    std::cout << "places the table lacks as a city (code <province>99):\n";
    for (const auto& [place, count] : r.unlisted_places) {
        std::cout << "  " << place << ": " << count << " lines\n";
    }
    std::size_t no_province = 0;
    for (const auto& [place, count] : r.left_out_no_province) no_province += count;
    std::cout << "prefixes left out: "
              << r.left_out_invalid + r.left_out_country_level + r.left_out_no_carrier + no_province
              << "\n  no valid number: " << r.left_out_invalid
              << "\n  placed at country level only: " << r.left_out_country_level
              << "\n  block in no carrier list: " << r.left_out_no_carrier
              << "\n  place without a province of the table: " << no_province << "\n";
    for (const auto& [place, count] : r.left_out_no_province) {
        std::cout << "    " << place << ": " << count << "\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: segment_database_gen OUTPUT\n";
        return 2;
    }
    try {
        const PhoneNumberUtil& util = *PhoneNumberUtil::GetInstance();
        const PhoneNumberOfflineGeocoder geocoder;
        const icu::Locale chinese("zh", "CN");
        // Where the geocoder knows no place below the country it gives the country's name.
        icu::UnicodeString country_name;
        icu::Locale("", "CN").getDisplayCountry(chinese, country_name);
        std::string country;
        country_name.toUTF8String(country);
        // The geocoder's Chinese mobile data is keyed by seven-digit prefixes, so one number
        // stands for its whole prefix.
        const auto describe = [&](std::string_view prefix) {
            haojian::tools::PrefixDescription d;
            PhoneNumber number;
            if (util.Parse(std::string(prefix) + "0000", "CN", &number) !=
                    PhoneNumberUtil::NO_PARSING_ERROR ||
                !util.IsValidNumber(number)) {
                return d;
            }
            d.valid = true;
            d.place = geocoder.GetDescriptionForValidNumber(number, chinese);
            if (d.place == country) d.place.clear();
            return d;
        };
        const haojian::tools::SegmentLinesReport report = haojian::tools::BuildSegmentLines(
            kFirstPrefix, kLastPrefix, haojian::BuiltInPlaceNameMap(), describe);
        report.database.Write(argv[1]);
        PrintReport(report);
    } catch (const std::exception& e) {
        std::cerr << "segment_database_gen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

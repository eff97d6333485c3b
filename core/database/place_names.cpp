#include "core/database/place_names.h"

#include <array>
#include <utility>

#include "core/text/gbk.h"

namespace haojian {
namespace {

// What may follow a province's name: the province kinds, the peoples of the autonomous regions.
constexpr std::array<std::string_view, 7> kProvinceSuffixes = {
    "", "省", "市", "自治区", "壮族自治区", "回族自治区", "维吾尔自治区",
};

// Full names that the table shortens: {full name, table name}.
constexpr std::array<std::pair<std::string_view, std::string_view>, 1> kProvinceFullNames = {{
    {"内蒙古", "内蒙"},
}};

// Current names of cities that the table knows under an older or wider name:
// {current name, table name}. 潜江 and 天门 share the 江汉 area with 仙桃, which the table
// lists on its own.
constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kRenamedCities = {{
    {"襄阳", "襄樊"},
    {"潜江", "江汉"},
    {"天门", "江汉"},
}};

// What may follow a city's name: the kinds of prefecture and county.
bool IsCitySuffix(std::string_view rest) {
    constexpr std::array<std::string_view, 7> kSuffixes = {"",     "市", "地区", "盟",
                                                           "林区", "区", "县"};
    for (std::string_view s : kSuffixes) {
        if (rest == s) return true;
    }
    // Autonomous prefectures and counties name their peoples first: 伊犁哈萨克自治州.
    return rest.ends_with("自治州") || rest.ends_with("自治县");
}

std::string_view Province(std::string_view city_code) {
    return city_code.substr(0, 2);
}

}  // namespace

PlaceNameMap::PlaceNameMap(std::span<const CodeRow> provinces, std::span<const CodeRow> cities) {
    for (const CodeRow& row : provinces) {
        provinces_.push_back({Utf8FromGbk(row.name), std::string(row.code)});
    }
    for (const CodeRow& row : cities)
        cities_.push_back({Utf8FromGbk(row.name), std::string(row.code)});
}

std::pair<const PlaceNameMap::Name*, std::size_t> PlaceNameMap::FindProvince(std::string_view text,
                                                                             bool whole) const {
    // The longest name form; on a tie the first row, so 重庆 lands on 04 rather than 13.
    const Name* province = nullptr;
    std::size_t province_length = 0;
    for (const Name& p : provinces_) {
        std::vector<std::string_view> bases = {p.text};
        for (const auto& [full, shortened] : kProvinceFullNames) {
            if (shortened == p.text) bases.push_back(full);
        }
        for (std::string_view base : bases) {
            for (std::string_view suffix : kProvinceSuffixes) {
                const std::string form = std::string(base) + std::string(suffix);
                const bool fits = whole ? text == form : text.starts_with(form);
                if (fits && form.size() > province_length) {
                    province = &p;
                    province_length = form.size();
                }
            }
        }
    }
    return {province, province_length};
}

PlacePlacement PlaceNameMap::PlaceCity(const Name& province, std::string_view rest) const {
    // The cities of every province row of that name (重庆 has two rows).
    std::vector<const Name*> candidates;
    for (const Name& c : cities_) {
        for (const Name& p : provinces_) {
            if (p.text == province.text && Province(c.code) == p.code) {
                candidates.push_back(&c);
                break;
            }
        }
    }

    // The city: the longest candidate name, current or former, that begins the rest and is
    // followed by nothing but a suffix.
    const Name* city = nullptr;
    std::size_t city_length = 0;
    const auto consider = [&](std::string_view name, const Name& row) {
        if (rest.starts_with(name) && name.size() > city_length &&
            IsCitySuffix(rest.substr(name.size()))) {
            city = &row;
            city_length = name.size();
        }
    };
    for (const Name* c : candidates) {
        consider(c->text, *c);
        for (const auto& [current, former] : kRenamedCities) {
            if (former == c->text) consider(current, *c);
        }
    }
    if (city != nullptr) return {PlacePlacement::Kind::City, city->code};

    // A municipality is a city itself: its districts are no cities of the table.
    const std::string whole = province.code + "00";
    for (const Name* c : candidates) {
        if (c->code == whole) return {PlacePlacement::Kind::City, whole};
    }
    return {PlacePlacement::Kind::UnlistedCity, province.code + std::string(kUnlistedCitySuffix)};
}

PlacePlacement PlaceNameMap::Place(std::string_view description) const {
    const auto [province, length] = FindProvince(description, false);
    if (province == nullptr) return {};
    return PlaceCity(*province, description.substr(length));
}

PlacePlacement PlaceNameMap::Place(std::string_view province_text, std::string_view city) const {
    const Name* province = FindProvince(province_text, true).first;
    if (province == nullptr) return {};
    PlacePlacement placement = PlaceCity(*province, city);
    if (placement.kind == PlacePlacement::Kind::UnlistedCity) {
        // "广东省广州市" in the city column: the city after its own province's name.
        const auto [named, length] = FindProvince(city, false);
        if (named != nullptr && named->text == province->text && length < city.size()) {
            placement = PlaceCity(*province, city.substr(length));
        }
    }
    return placement;
}

PlaceNameMap BuiltInPlaceNameMap() {
    return PlaceNameMap(kBuiltInProvinceRows, kBuiltInCityRows);
}

}  // namespace haojian

#include "core/table/table_writer.h"

#include <array>
#include <utility>

namespace haojian {
namespace {

constexpr std::array<std::pair<std::string_view, OutputFormat>, 4> kNames = {{
    {"txt", OutputFormat::kText},
    {"csv", OutputFormat::kCsv},
    {"tsv", OutputFormat::kTsv},
    {"xlsx", OutputFormat::kWorkbook},
}};

bool SameAsciiLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

OutputFormat OutputFormatFromPath(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return OutputFormat::kText;
    }
    OutputFormat format = OutputFormat::kText;
    const std::string_view extension = path.substr(dot + 1);
    for (const auto& [name, named] : kNames) {
        if (SameAsciiLetters(extension, name)) format = named;
    }
    return format;
}

bool OutputFormatFromName(std::string_view name, OutputFormat& format) {
    for (const auto& [known, named] : kNames) {
        if (name == known) {
            format = named;
            return true;
        }
    }
    return false;
}

std::string_view OutputFormatExtension(OutputFormat format) {
    switch (format) {
        case OutputFormat::kCsv:
            return ".csv";
        case OutputFormat::kTsv:
            return ".tsv";
        case OutputFormat::kWorkbook:
            return ".xlsx";
        case OutputFormat::kText:
            break;
    }
    return ".txt";
}

}  // namespace haojian

// Checks, on Windows, that a merged file of GBK lines is in the system's own order: each line
// after the one before it by CompareStringEx with the user's default locale and case ignored,
// lines the collation finds equal ordered by their code units, case ignored, and no two lines
// equal but for letter case. Prints the line count, or the first fault and exits 1.
//
//   merge_order_check FILE
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>

#include "core/platform/windows/windows_text.h"

namespace {

std::wstring FromGbk(std::string_view line) {
    if (line.empty()) return {};
    const int size =
        MultiByteToWideChar(936, 0, line.data(), static_cast<int>(line.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(936, 0, line.data(), static_cast<int>(line.size()), wide.data(), size);
    return wide;
}

std::string Utf8(std::wstring_view text) {
    return haojian::Utf8FromWide(text);
}

int Compare(const std::wstring& a, const std::wstring& b) {
    return CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.data(),
                           static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                           nullptr, nullptr, 0);
}

int CompareUnits(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::cerr << "usage: merge_order_check FILE\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        std::cerr << "merge_order_check: cannot read the file\n";
        return 1;
    }
    std::wstring previous;
    std::size_t lines = 0, ties = 0;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string_view line(bytes.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::wstring text = FromGbk(line);
        if (lines > 0) {
            const int order = Compare(previous, text);
            const int units = CompareUnits(previous, text);
            if (order == 0) {
                std::cerr << "merge_order_check: CompareStringEx failed, error " << GetLastError()
                          << '\n';
                return 1;
            }
            const bool ordered =
                order == CSTR_LESS_THAN || (order == CSTR_EQUAL && units == CSTR_LESS_THAN);
            if (!ordered) {
                std::cout << "line " << lines + 1 << " '" << Utf8(text) << "' "
                          << (units == CSTR_EQUAL ? "repeats" : "sorts before") << " line " << lines
                          << " '" << Utf8(previous) << "'\n";
                return 1;
            }
            if (order == CSTR_EQUAL) ++ties;
        }
        previous = std::move(text);
        ++lines;
        start = end + 1;
    }
    std::cout << lines << " lines in order, " << ties << " equal to the collation\n";
    return 0;
}

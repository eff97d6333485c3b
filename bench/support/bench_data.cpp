#include "bench/support/bench_data.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "core/text/gbk.h"

namespace haojian::bench {

std::string DigitLines(std::size_t count, std::size_t pool, unsigned seed) {
    std::mt19937_64 pool_rng(1);  // the same pool for every seed
    std::vector<std::uint64_t> numbers(pool);
    for (std::uint64_t& n : numbers) n = 13000000000ULL + pool_rng() % 6000000000ULL;
    std::mt19937_64 rng(seed);
    std::string text;
    text.reserve(count * 12);
    for (std::size_t i = 0; i < count; ++i) {
        text += std::to_string(numbers[rng() % pool]);
        text += '\n';
    }
    return text;
}

std::string NameLines(std::size_t count, unsigned seed) {
    static const char* const kSurnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄",   "赵",  "吴",
                                            "周", "徐", "孙", "马", "朱", "胡", "欧阳", "司马"};
    static const char* const kGiven[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "洋",
                                         "艳", "勇", "军", "杰", "娟", "涛", "明", "超", "秀英"};
    static const char* const kLatin[] = {"Zhang", "Wang", "Li",     "Zhao",   "Chen",   "Liu",
                                         "Smith", "Lee",  "Nguyen", "Garcia", "Müller", "Kim"};
    std::mt19937 rng(seed);
    std::vector<std::string> surnames;
    std::vector<std::string> given;
    for (const char* s : kSurnames) surnames.push_back(GbkFromUtf8(s));
    for (const char* s : kGiven) given.push_back(GbkFromUtf8(s));
    std::string text;
    std::vector<std::string> made;
    for (std::size_t i = 0; i < count; ++i) {
        std::string line;
        if (!made.empty() && rng() % 2 == 0) {
            // A repeat, often in another case.
            line = made[rng() % made.size()];
            if (rng() % 2) {
                for (char& c : line) {
                    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
                }
            }
        } else if (rng() % 2) {
            line = surnames[rng() % surnames.size()] + given[rng() % given.size()];
            if (rng() % 2) line += given[rng() % given.size()];
            line += std::to_string(rng() % 100);
        } else {
            line = GbkFromUtf8(kLatin[rng() % std::size(kLatin)]) + " " +
                   GbkFromUtf8(kLatin[rng() % std::size(kLatin)]) + std::to_string(rng() % 1000);
            made.push_back(line);
        }
        if (made.size() < 100000 && rng() % 4 == 0) made.push_back(line);
        text += line;
        text += "\r\n";
    }
    return text;
}

double TimeCommand(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) return -1;
    return SecondsSince(start);
}

std::size_t PeakMemory(const std::string& command) {
    if (::access("/usr/bin/time", X_OK) != 0) return 0;
    char name[] = "/tmp/haojian-bench-rss-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0) return 0;
    ::close(fd);
    const std::string wrapped =
        "/usr/bin/time -f %M -o " + std::string(name) + " sh -c '" + command + "' >/dev/null";
    std::size_t kilobytes = 0;
    if (std::system(wrapped.c_str()) == 0) std::ifstream(name) >> kilobytes;
    std::remove(name);
    return kilobytes * 1024;
}

}  // namespace haojian::bench

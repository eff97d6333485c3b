#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace haojian::cli {

struct Arguments;

// A number list as the line rule reads it: its bytes, of which a NUL byte ends the text.
class NumberListText {
public:
    // Reads the list at path ("-" is standard input) as ReadListBytes does.
    NumberListText(const Arguments& args, const std::string& path);

    // The text before the first NUL byte, or all of it.
    std::string_view text() const { return text_; }
    // The offset of that NUL byte in the file, if there is one.
    std::optional<std::uint64_t> nul_offset() const { return nul_; }
    // The path as messages name it.
    const std::string& path() const { return path_; }
    // The text before the first NUL byte, taken out of the list: text() is empty afterwards.
    std::string TakeText();

private:
    std::string path_;
    std::string bytes_;
    std::string_view text_;
    std::optional<std::uint64_t> nul_;
};

// The lists that a NUL byte cut short, told on standard error after the results are written:
// the file and the byte's offset in it. Report gives true when there were any (the command
// then exits 1).
class NulCuts {
public:
    void Note(const NumberListText& list);
    bool Report(std::string_view command) const;

private:
    std::vector<std::string> messages_;  // UTF-8
};

}  // namespace haojian::cli

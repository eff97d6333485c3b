#include "cli/messages.h"

#include <cstdio>
#include <iostream>
#include <new>

#include "cli/console.h"
#include "cli/standard_output.h"
#include "core/base/error.h"
#include "core/merge/merge.h"
#include "core/table/table_error.h"
#include "core/text/gbk.h"
#include "core/text/text_encoding.h"
#include "core/threads/thread_start.h"

namespace haojian::cli {
namespace {

// The length of the UTF-8 sequence that begins text, or 0 when none does.
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (length > text.size() || !IsValidUtf8(text.substr(0, length))) return 0;
    return length;
}

// The words for a failed operation on a file, the same in every command.
std::string_view OperationWords(FileError::Op op) {
    switch (op) {
        case FileError::Op::Open:
            return "Cannot open file";
        case FileError::Op::Create:
            return "Cannot create file";
        case FileError::Op::Read:
            return "Cannot read file";
        case FileError::Op::Write:
            return "Cannot write file";
        case FileError::Op::Close:
            return "Cannot close file";
        case FileError::Op::Rename:
            return "Cannot put the file in place";
    }
    return "Cannot use file";
}

// " (reason)", or nothing when there is no reason.
std::string InParentheses(std::string_view reason) {
    return reason.empty() ? std::string() : " (" + Printable(reason) + ")";
}

}  // namespace

std::string Printable(std::string_view name) {
    std::string shown;
    while (!name.empty()) {
        const std::size_t length = Utf8SequenceLength(name);
        const auto byte = static_cast<unsigned char>(name[0]);
        // C0 and C1 controls, and DEL, could steer the terminal.
        const bool control =
            byte < 0x20 || byte == 0x7F ||
            (length == 2 && byte == 0xC2 && static_cast<unsigned char>(name[1]) < 0xA0);
        if (length == 0 || control) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            shown += escape;
            name.remove_prefix(1);
        } else {
            shown += name.substr(0, length);
            name.remove_prefix(length);
        }
    }
    return shown;
}

std::string InputPath(std::string_view argument) {
    return std::string(argument == "-" ? kStandardInput : argument);
}

std::string OutputPath(std::string_view argument) {
    return std::string(argument == "-" ? kStandardOutput : argument);
}

std::string QuotedPath(std::string_view path) {
    if (path == kStandardInput) return "standard input";
    if (path == kStandardOutput) return "standard output";
    return "\"" + Printable(path) + "\"";
}

void PrintMessage(std::string_view command, std::string_view utf8_text) {
    std::cerr << "haojian-cli: " << command << ": " << utf8_text << '\n' << std::flush;
}

std::string FailureText(const std::exception& failure) {
    if (const auto* e = dynamic_cast<const FileError*>(&failure)) {
        return QuotedPath(e->path()) + ": " + std::string(OperationWords(e->op())) +
               InParentheses(e->reason());
    }
    if (const auto* e = dynamic_cast<const TableError*>(&failure)) {
        return QuotedPath(e->path()) + ": " + Printable(e->reason());
    }
    if (const auto* e = dynamic_cast<const MergeCutError*>(&failure)) {
        return "File " + QuotedPath(e->path()) + " holds a NUL byte at offset " +
               std::to_string(e->offset()) + ": the merged text ends there";
    }
    if (const auto* e = dynamic_cast<const ThreadStartError*>(&failure)) {
        return "Cannot start a thread" + InParentheses(e->reason());
    }
    if (const auto* e = dynamic_cast<const Error*>(&failure)) return Utf8FromGbk(e->message());
    if (dynamic_cast<const std::bad_alloc*>(&failure)) return "Out of memory";
    return failure.what();
}

void PrintStatus(std::string_view gbk_text, bool data_on_standard_output) {
    const std::string line = Utf8FromGbk(gbk_text) + "\n";
    if (data_on_standard_output) {
        std::cerr << line << std::flush;
    } else {
        WriteStandardOutput(line);
    }
}

bool IsStandardOutput(const std::string& output) {
    if (output == kStandardOutput) return true;
    return IsFileOfStandardOutput(output);
}

}  // namespace haojian::cli

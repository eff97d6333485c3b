#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace haojian::cli {

// The paths under which the commands pass the standard streams on ("-" on the command line).
inline constexpr std::string_view kStandardInput = "/dev/stdin";
inline constexpr std::string_view kStandardOutput = "/dev/stdout";

// "-" as an input or an output on the command line, else the argument itself.
std::string InputPath(std::string_view argument);
std::string OutputPath(std::string_view argument);

// A file as messages name it, quoted: "out/x.txt". The standard streams are named "standard
// input" and "standard output", without quotes. Bytes that are no UTF-8, and control
// characters, are shown as \xHH so that no name can garble the terminal or hide what it is.
std::string QuotedPath(std::string_view path);

// text (UTF-8, or any bytes) made safe to print: bytes that are no UTF-8, and control
// characters, become \xHH.
std::string Printable(std::string_view text);

// "haojian-cli: COMMAND: TEXT" on standard error; text is UTF-8.
void PrintMessage(std::string_view command, std::string_view utf8_text);

// The message for a failure caught by a command, in UTF-8, the same words for a failure in
// every command: a file failure names the file, the operation and the system's reason, as in
//   "out/x.txt": Cannot write file (No space left on device)
std::string FailureText(const std::exception& failure);

// A NUL byte (or NUL character) that ends an input's text, in the words every command uses:
//   "list.txt" holds a NUL byte at byte offset 8: the list ends there
// naming the likely cause when the input's first bytes look like UTF-16 without a byte-order
// mark. offset counts bytes from 0; consequence says what it means for the command.
std::string NulByteText(std::string_view path, std::uint64_t offset, std::string_view first_bytes,
                        std::string_view consequence);

// A GBK status text ("导出符合数据125条") as a line of UTF-8: on standard output, or on standard
// error when the command's data go to standard output. Throws FileError when standard output
// cannot take it.
void PrintStatus(std::string_view gbk_text, bool data_on_standard_output);

// True when output (a path as OutputPath gives it) is standard output, or names the same file.
bool IsStandardOutput(const std::string& output);

}  // namespace haojian::cli

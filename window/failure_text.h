#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace haojian {

// What the window was doing when a failure came; its rules word a file failure by it.
enum class WindowWork {
    Read,   // importing a list, loading the database
    Merge,  // merging data files
    Save,   // exporting rows, saving the statistics
    Write,  // writing the files of a split export
};

// The window's text for a failure, GBK, before the error box adds its full stop. A FileError by
// the rules of work, the file's path and the system's reason turned into GBK:
//   Read   "Cannot open file "P". R", or "Stream read error on file "P". R"
//   Merge  "Cannot open file "P". R", "Stream read error", "Stream write error" (writing or
//          closing the result), or "Cannot create file "P". R" (making or placing it)
//   Save   by the system's error number: "Invalid filename", "Too many open files",
//          "File access denied", or "I/O error N" with the system's own number (a Win32 error
//          code on Windows)
//   Write  in Chinese, naming the file and the reason: "无法写入文件“P”：磁盘空间不足", the
//          reason worded here for the common error numbers, else the system's own
// A table that cannot be read "无法读取表格 "P"：<why>（<the reader's reason>）";
// a cut merge says where its NUL byte stands; an Error gives its own message, a failed
// allocation "Out of memory", anything else what().
std::string WindowFailureText(const std::exception& failure, WindowWork work);

// The text an error box shows: a "." is added when the last byte sorts after "." in byte order,
// so every message ending in a double-byte character gets one.
std::string ErrorBoxText(std::string_view gbk_message);

}  // namespace haojian

#include "window/failure_text.h"

#include <new>
#include <system_error>

#include "core/base/error.h"
#include "core/files/temporary_file.h"
#include "core/merge/merge.h"
#include "core/table/table_error.h"
#include "core/text/gbk.h"
#include "window/window_texts.h"

namespace haojian {
namespace {

// "<what> "P". R", the path and the reason in GBK.
std::string NamingTheFile(std::string_view what, const FileError& e) {
    return std::string(what) + " \"" + GbkFromUtf8(e.path()) + "\". " + GbkFromUtf8(e.reason());
}

std::string ReadText(const FileError& e) {
    return NamingTheFile(
        e.op() == FileError::Op::Open ? "Cannot open file" : "Stream read error on file", e);
}

std::string MergeText(const FileError& e) {
    // A merge's runs: the folder they go to is what the user can mend.
    if (dynamic_cast<const TemporaryFolderError*>(&e)) {
        return NamingTheFile(e.op() == FileError::Op::Create ? "Cannot create temporary file in"
                             : e.op() == FileError::Op::Read ? "Cannot read temporary file in"
                                                             : "Cannot write temporary file in",
                             e);
    }
    switch (e.op()) {
        case FileError::Op::Open:
            return NamingTheFile("Cannot open file", e);
        case FileError::Op::Read:
            return "Stream read error";
        case FileError::Op::Write:
        case FileError::Op::Close:
            return "Stream write error";
        case FileError::Op::Create:
        case FileError::Op::Rename:
            break;
    }
    return NamingTheFile("Cannot create file", e);
}

// Making a file finds no file missing, only a folder on its path: "Invalid filename".
std::string SaveText(const FileError& e) {
    switch (std::errc(e.code())) {
        case std::errc::no_such_file_or_directory:
        case std::errc::not_a_directory:
        case std::errc::filename_too_long:
        case std::errc::invalid_argument:
            return "Invalid filename";
        case std::errc::too_many_files_open:
        case std::errc::too_many_files_open_in_system:
            return "Too many open files";
        case std::errc::permission_denied:
        case std::errc::operation_not_permitted:
        case std::errc::read_only_file_system:
        case std::errc::is_a_directory:
            return "File access denied";
        default:
            // The system's own number: on Windows its error code (32 for a file another
            // program holds, 112 for a full disk), not the C library's number for it.
            return "I/O error " + std::to_string(e.system_code());
    }
}

// The reason of a failed write in Chinese for the numbers a user can mend; the system's own
// words (turned into GBK) for the rest.
std::string WriteReason(const FileError& e) {
    switch (std::errc(e.code())) {
        case std::errc::no_space_on_device:
            return GbkFromUtf16(u"磁盘空间不足");
        case std::errc::permission_denied:
        case std::errc::operation_not_permitted:
        case std::errc::read_only_file_system:
            return GbkFromUtf16(u"没有写入的权限");
        case std::errc::too_many_files_open:
        case std::errc::too_many_files_open_in_system:
            return GbkFromUtf16(u"同时打开的文件太多");
        case std::errc::no_such_file_or_directory:
        case std::errc::not_a_directory:
            return GbkFromUtf16(u"文件夹不存在");
        case std::errc::filename_too_long:
        case std::errc::invalid_argument:
            return GbkFromUtf16(u"文件名无效");
        case std::errc::is_a_directory:
            return GbkFromUtf16(u"已有同名的文件夹");
        case std::errc::device_or_resource_busy:
        case std::errc::text_file_busy:
            return GbkFromUtf16(u"文件正被其他程序使用");
        default:
            return GbkFromUtf8(e.reason());
    }
}

// "无法写入文件“P”：R".
std::string WriteText(const FileError& e) {
    const std::u16string_view what =
        e.op() == FileError::Op::Create                                  ? u"无法创建文件“"
        : e.op() == FileError::Op::Rename                                ? u"无法替换文件“"
        : e.op() == FileError::Op::Open || e.op() == FileError::Op::Read ? u"无法读取文件“"
                                                                         : u"无法写入文件“";
    return GbkFromUtf16(what) + GbkFromUtf8(e.path()) + GbkFromUtf16(u"”：") + WriteReason(e);
}

// What is wrong with a table, in the window's words; the reader's own follow in brackets.
std::u16string_view TableWhy(TableError::Kind kind) {
    switch (kind) {
        case TableError::Kind::kDamaged:
            return u"文件已损坏或不完整";
        case TableError::Kind::kBrokenXml:
            return u"工作簿中的内容已损坏";
        case TableError::Kind::kEncrypted:
            return u"工作簿设有密码，请另存为不设密码的工作簿后再导入";
        case TableError::Kind::kOldExcel:
            return u"这是 Excel 97-2003 工作簿 (.xls)，请另存为 .xlsx 工作簿后再导入";
        case TableError::Kind::kTooLarge:
            return u"工作簿中的部件解压后大得不合常理";
        case TableError::Kind::kNoSheet:
            return u"工作簿中没有可读的工作表";
        case TableError::Kind::kNoColumn:
            return u"表格中没有含手机号码的列";
        case TableError::Kind::kNotSeekable:
            break;
    }
    return u"无法定位读取";
}

std::string TableText(const TableError& e) {
    return GbkFromUtf16(std::u16string(window_text::kTableUnreadable) + u" \"" +
                        Utf16FromGbk(GbkFromUtf8(e.path())) + u"\"：" +
                        std::u16string(TableWhy(e.kind())) + u"（") +
           GbkFromUtf8(e.reason()) + GbkFromUtf16(u"）");
}

}  // namespace

std::string WindowFailureText(const std::exception& failure, WindowWork work) {
    if (const auto* e = dynamic_cast<const FileError*>(&failure)) {
        switch (work) {
            case WindowWork::Read:
                return ReadText(*e);
            case WindowWork::Merge:
                return MergeText(*e);
            case WindowWork::Save:
                return SaveText(*e);
            case WindowWork::Write:
                return WriteText(*e);
        }
    }
    if (const auto* e = dynamic_cast<const TableError*>(&failure)) return TableText(*e);
    if (const auto* e = dynamic_cast<const MergeCutError*>(&failure)) {
        return "File \"" + GbkFromUtf8(e->path()) + "\" holds a NUL byte at offset " +
               std::to_string(e->offset()) + ": the merged text ends there";
    }
    if (const auto* e = dynamic_cast<const Error*>(&failure)) return std::string(e->message());
    if (dynamic_cast<const std::bad_alloc*>(&failure)) return "Out of memory";
    return failure.what();
}

std::string ErrorBoxText(std::string_view gbk_message) {
    std::string text(gbk_message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text.push_back('.');
    return text;
}

}  // namespace haojian

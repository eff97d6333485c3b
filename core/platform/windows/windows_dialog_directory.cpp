// The dialogs' start on Windows: Documents when the program's folder may not be written (a
// program installed under Program Files).
#include <shlobj.h>
#include <windows.h>

#include "core/files/dialog_directory.h"
#include "core/platform/windows/windows_text.h"

namespace haojian {
namespace {

// Whether a file may be made in folder: tried with one that is gone when closed.
bool MayCreateIn(const std::string& folder) {
    const std::wstring probe = WidePath(folder + ".haojian-probe");
    const HANDLE h = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(h);
    return true;
}

}  // namespace

std::string DialogDirectory(const std::string& program_directory) {
    if (MayCreateIn(program_directory)) return program_directory;
    const char separator =
        !program_directory.empty() && program_directory.back() == '/' ? '/' : '\\';
    wchar_t documents[MAX_PATH];
    std::string directory = "C:\\";
    if (SUCCEEDED(
            ::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents))) {
        directory = Utf8FromWide(documents);
    }
    if (directory.back() == '\\' || directory.back() == '/') directory.pop_back();
    return directory + separator;
}

}  // namespace haojian

// The arguments as the system has them, UTF-16, turned into the core's UTF-8: Chinese filter
// texts and file names typed in a console arrive intact whatever the code page.
#include <windows.h>

#include "cli/main.h"
#include "core/platform/windows/windows_text.h"

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(haojian::Utf8FromWide(argv[i]));
    return haojian::cli::Main(std::move(args));
}

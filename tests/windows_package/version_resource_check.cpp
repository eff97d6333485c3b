// Reads the resources of a Windows executable as Explorer and the installer see them and
// checks them against the project: the version resource, the application icon, the manifest.
// Usage: version_resource_check EXE VERSION PRODUCT_NAME
// Prints each field it read; exits 0 when all match, 1 otherwise, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/windows/windows_text.h"
#include "packaging/windows/resource_ids.h"

namespace {

int failures = 0;

std::string Utf8(std::wstring_view text) {
    return haojian::Utf8FromWide(text);
}

void Check(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) ++failures;
}

std::wstring StringValue(const std::vector<char>& block, const std::wstring& language,
                         const wchar_t* name) {
    const std::wstring path = L"\\StringFileInfo\\" + language + L"\\" + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) return {};
    std::wstring text(static_cast<const wchar_t*>(value), length);
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

void CheckVersionResource(const wchar_t* exe, const std::wstring& version,
                          const std::wstring& product) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe, &handle);
    Check(size != 0, "has a version resource");
    if (size == 0) return;
    std::vector<char> block(size);
    if (!GetFileVersionInfoW(exe, 0, size, block.data())) {
        Check(false, "version resource readable");
        return;
    }

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) &&
        length >= sizeof(VS_FIXEDFILEINFO)) {
        unsigned major = 0, minor = 0, patch = 0, tweak = 0;
        std::swscanf(version.c_str(), L"%u.%u.%u.%u", &major, &minor, &patch, &tweak);
        const DWORD ms = MAKELONG(minor, major), ls = MAKELONG(tweak, patch);
        char numbers[80];
        std::snprintf(
            numbers, sizeof numbers, "%u.%u.%u.%u", unsigned(HIWORD(fixed->dwFileVersionMS)),
            unsigned(LOWORD(fixed->dwFileVersionMS)), unsigned(HIWORD(fixed->dwFileVersionLS)),
            unsigned(LOWORD(fixed->dwFileVersionLS)));
        Check(fixed->dwFileVersionMS == ms && fixed->dwFileVersionLS == ls,
              std::string("fixed file version ") + numbers);
        Check(fixed->dwProductVersionMS == ms && fixed->dwProductVersionLS == ls,
              "fixed product version");
        Check(fixed->dwFileType == VFT_APP, "file type VFT_APP");
    } else {
        Check(false, "fixed file information");
    }

    // The string table of the first language the resource names.
    struct Translation {
        WORD language, code_page;
    }* translations = nullptr;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translations), &length) ||
        length < sizeof(Translation)) {
        Check(false, "a translation");
        return;
    }
    wchar_t language[16];
    std::swprintf(language, 16, L"%04x%04x", translations->language, translations->code_page);
    Check(translations->language == 0x0804 && translations->code_page == 1200,
          "strings in Simplified Chinese, UTF-16 (" + Utf8(language) + ")");

    const auto field = [&](const wchar_t* name, const std::wstring& expected) {
        const std::wstring value = StringValue(block, language, name);
        const bool ok = expected.empty() ? !value.empty() : value == expected;
        Check(ok, Utf8(name) + ": " + Utf8(value));
    };
    field(L"FileVersion", version);
    field(L"ProductVersion", version);
    field(L"ProductName", product);
    field(L"FileDescription", {});
    field(L"CompanyName", {});
    field(L"LegalCopyright", {});
}

BOOL CALLBACK FirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
    *reinterpret_cast<LPCWSTR*>(found) = name;
    return FALSE;
}

void CheckIcon(HMODULE module) {
    LPCWSTR first = nullptr;
    EnumResourceNamesW(module, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, FirstName,
                       reinterpret_cast<LONG_PTR>(&first));
    Check(first != nullptr && IS_INTRESOURCE(first) &&
              LOWORD(reinterpret_cast<ULONG_PTR>(first)) == HAOJIAN_ICON_APPLICATION,
          "the first icon group is the application icon");
    HRSRC found =
        FindResourceW(module, MAKEINTRESOURCEW(HAOJIAN_ICON_APPLICATION), MAKEINTRESOURCEW(14));
    if (!found) return;
    const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    // GRPICONDIR: reserved, type, count; then 14-byte entries starting with width, height.
    const WORD count = *reinterpret_cast<const WORD*>(group + 4);
    std::set<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        const BYTE width = group[6 + 14 * i];
        sizes.insert(width == 0 ? 256 : width);
    }
    std::string listed;
    for (int size : sizes) listed += " " + std::to_string(size);
    Check(sizes == std::set<int>{16, 24, 32, 48, 64, 128, 256}, "icon sizes" + listed);
}

void CheckManifest(HMODULE module) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    Check(found != nullptr, "has a manifest");
    if (!found) return;
    const std::string_view manifest(
        static_cast<const char*>(LockResource(LoadResource(module, found))),
        SizeofResource(module, found));
    for (const char* part :
         {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
          "level=\"asInvoker\"", "<dpiAware", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
          "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
        Check(manifest.find(part) != std::string_view::npos, std::string("manifest: ") + part);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fputs("usage: version_resource_check EXE VERSION PRODUCT_NAME\n", stderr);
        return 2;
    }
    const wchar_t* exe = argv[1];
    std::printf("%s\n", Utf8(exe).c_str());
    CheckVersionResource(exe, argv[2], argv[3]);
    HMODULE module =
        LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    Check(module != nullptr, "loads as a resource module");
    if (module) {
        CheckIcon(module);
        CheckManifest(module);
        FreeLibrary(module);
    }
    return failures == 0 ? 0 : 1;
}

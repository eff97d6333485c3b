#include "cli_support.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iostream>
#include <optional>

#include "collation.h"
#include "error.h"
#include "gbk.h"
#include "number_lookup.h"

namespace haojian::cli {
namespace {

bool Listed(const std::vector<std::string_view>& options, std::string_view name) {
    return std::find(options.begin(), options.end(), name) != options.end();
}

}  // namespace

std::string Arguments::Value(std::string_view option, std::string_view fallback) const {
    const auto it = values.find(option);
    return it == values.end() ? std::string(fallback) : it->second;
}

Arguments ParseArguments(const std::vector<std::string>& args,
                         const std::vector<std::string_view>& value_options,
                         const std::vector<std::string_view>& flag_options) {
    Arguments parsed;
    bool options_ended = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options_ended || arg == "-" || arg.empty() || arg[0] != '-') {
            parsed.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options_ended = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const std::size_t eq = arg.find('=');
            arg.starts_with("--") && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        if (name == "--help" || Listed(flag_options, name)) {
            if (value) throw UsageError("option " + name + " takes no value");
            parsed.flags.insert(name);
        } else if (Listed(value_options, name)) {
            if (!value) {
                if (i + 1 == args.size()) throw UsageError("option " + name + " needs a value");
                value = args[++i];
            }
            parsed.values[name] = *value;
        } else {
            throw UsageError("unknown option " + name);
        }
    }
    return parsed;
}

int RunCommand(std::string_view name, std::string_view help, const std::vector<std::string>& args,
               const std::vector<std::string_view>& value_options,
               const std::vector<std::string_view>& flag_options,
               const std::function<int(const Arguments&)>& body) {
    try {
        const Arguments parsed = ParseArguments(args, value_options, flag_options);
        if (parsed.Has("--help")) {
            std::cout << help;
            return kExitSuccess;
        }
        return body(parsed);
    } catch (const UsageError& e) {
        std::cerr << "haojian-cli " << name << ": " << e.what() << "\n"
                  << "Try 'haojian-cli " << name << " --help'.\n";
        return kExitUsage;
    } catch (const Error& e) {
        PrintError(e.message());
    } catch (const FileError& e) {
        PrintError(e.what());
    } catch (const std::bad_alloc&) {
        PrintError("out of memory");
    } catch (const std::exception& e) {
        PrintError(e.what());
    } catch (...) {
        PrintError("unknown failure");
    }
    return kExitFailure;
}

void PrintLine(std::string_view gbk_text) {
    std::cout << Utf8FromGbk(gbk_text) << '\n' << std::flush;
}

void PrintError(std::string_view gbk_text) {
    std::cerr << "haojian-cli: " << Utf8FromGbk(gbk_text) << '\n';
}

SegmentDatabase LoadDatabase(const Arguments& args) {
    const std::string path =
        args.Value("--db", ExecutableDirectory() + std::string(kDatabaseFileName));
    FileSystem& fs = RealFileSystem();
    if (!fs.IsFile(path)) {
        throw Error("No segment database file \"" + PathForMessage(path) + "\"");
    }
    try {
        return SegmentDatabase::FromBytes(ReadWholeFile(fs, path));
    } catch (const FileError& e) {
        throw ReadFailure(e, path);
    }
}

std::string ReadListBytes(const std::string& path) {
    const std::string real = path == "-" ? "/dev/stdin" : path;
    try {
        return ReadWholeFile(RealFileSystem(), real);
    } catch (const FileError& e) {
        throw ReadFailure(e, real);
    }
}

void StandardOutput::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            throw FileError(FileError::Op::Write, "standard output", errno);
        }
        bytes.remove_prefix(std::size_t(n));
    }
}

LookedUpRows::LookedUpRows(std::vector<LineList> lists, const SegmentDatabase& database)
    : lists_(std::move(lists)), database_(database) {
    starts_.push_back(0);
    for (const LineList& list : lists_) starts_.push_back(starts_.back() + list.size());
    ReloadCodeTables(tables_);
}

ResultRowView LookedUpRows::Row(std::size_t index) const {
    const std::size_t list =
        std::size_t(std::upper_bound(starts_.begin(), starts_.end(), index) - starts_.begin()) - 1;
    const LookupResult r =
        ResolveNumber(lists_[list][index - starts_[list]], database_, tables_, DefaultCollation());
    return {r.number, r.province, r.city, r.card_type};
}

}  // namespace haojian::cli

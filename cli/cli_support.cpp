#include "cli/cli_support.h"

#include <algorithm>
#include <iostream>
#include <optional>

#include "cli/list_encoding.h"
#include "cli/messages.h"
#include "cli/number_list_text.h"
#include "core/base/error.h"
#include "core/collation/collation.h"
#include "core/lookup/number_lookup.h"
#include "core/text/gbk.h"
#include "core/text/text_encoding.h"

namespace haojian::cli {
namespace {

CodeTables BuiltInTables() {
    CodeTables tables;
    ReloadCodeTables(tables);
    return tables;
}

SegmentDatabase LoadDatabase(const Arguments& args) {
    return SegmentDatabase::FromBytes(ReadDatabaseBytes(args));
}

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
        if (name == "-h") name = "--help";
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
        Arguments parsed = ParseArguments(args, value_options, flag_options);
        parsed.command = name;
        if (parsed.Has("--help")) {
            std::cout << help;
            return kExitSuccess;
        }
        return body(parsed);
    } catch (const UsageError& e) {
        PrintMessage(name, e.what());
        std::cerr << "Try 'haojian-cli " << name << " --help'.\n";
        return kExitUsage;
    } catch (const std::exception& e) {
        PrintMessage(name, FailureText(e));
    } catch (...) {
        PrintMessage(name, "unknown failure");
    }
    return kExitFailure;
}

std::string GbkArgument(std::string_view option, std::string_view text) {
    if (IsValidUtf8(text)) return GbkFromUtf8(text);
    if (IsValidGbk(text)) return std::string(text);
    throw UsageError("the text of " + std::string(option) + " is neither UTF-8 nor GBK");
}

std::string DatabasePath(const Arguments& args) {
    return args.Value("--db", ExecutableDirectory() + std::string(kDatabaseFileName));
}

std::string ReadDatabaseBytes(const Arguments& args) {
    const std::string path = DatabasePath(args);
    FileSystem& fs = RealFileSystem();
    if (!fs.IsFile(path)) {
        // The system's reason: missing, a directory, no right to look.
        std::string reason;
        try {
            fs.OpenRead(path);
        } catch (const FileError& e) {
            reason = " (" + Printable(e.reason()) + ")";
        }
        throw Failure(QuotedPath(path) + ": No segment database file" + reason);
    }
    return ReadWholeFile(fs, path);
}

ListLookup::ListLookup(const Arguments& args)
    : database(LoadDatabase(args)),
      tables(BuiltInTables()),
      resolve(database, tables, DefaultCollation()) {}

std::string ReadListBytes(const Arguments& args, const std::string& path) {
    const std::string real = InputPath(path);
    ListText list = ListFromBytes(ReadWholeFile(RealFileSystem(), real));
    if (!list.note.empty()) PrintMessage(args.command, QuotedPath(real) + ": " + list.note);
    return std::move(list.bytes);
}

std::vector<LineList> ReadLists(const Arguments& args, std::uint64_t& bytes, NulCuts& cuts) {
    std::vector<LineList> lists;
    for (const std::string& path : args.operands) {
        NumberListText list(args, path);
        cuts.Note(list);
        std::string text = list.TakeText();
        bytes += text.size();
        lists.push_back(LineList::FromBytes(std::move(text)));
    }
    return lists;
}

LookedUpRows::LookedUpRows(std::vector<LineList> lists, const NumberResolver& resolve)
    : lists_(std::move(lists)), resolve_(resolve) {
    starts_.push_back(0);
    for (const LineList& list : lists_) starts_.push_back(starts_.back() + list.size());
}

ResultRowView LookedUpRows::Row(std::size_t index) const {
    const std::size_t list =
        std::size_t(std::upper_bound(starts_.begin(), starts_.end(), index) - starts_.begin()) - 1;
    const LookupResult r = resolve_(lists_[list][index - starts_[list]]);
    return {r.number, r.province, r.city, r.card_type};
}

}  // namespace haojian::cli

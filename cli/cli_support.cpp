#include "cli/cli_support.h"

#include <algorithm>
#include <iostream>
#include <optional>

#include "cli/console.h"
#include "cli/messages.h"
#include "cli/standard_output.h"
#include "core/base/error.h"
#include "core/collation/collation.h"
#include "core/lookup/number_lookup.h"
#include "core/text/gbk.h"
#include "core/text/text_encoding.h"

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
    // Takes option name, with value when it was written into the same argument.
    const auto take = [&](std::string name, std::optional<std::string> value, std::size_t& i) {
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
    };
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
        if (arg.starts_with("--")) {
            const std::size_t eq = arg.find('=');
            if (eq == std::string::npos) {
                take(arg, std::nullopt, i);
            } else {
                take(arg.substr(0, eq), arg.substr(eq + 1), i);
            }
            continue;
        }
        // Short options as getopt reads them: flags run together ("-qh"), and one that takes a
        // value takes the rest of the word ("-oFILE", "-qoFILE") or the next word ("-qo FILE").
        for (std::size_t at = 1; at < arg.size(); ++at) {
            const std::string name = {'-', arg[at]};
            if (Listed(value_options, name) && at + 1 < arg.size()) {
                take(name, arg.substr(at + 1), i);
                break;
            }
            take(name, std::nullopt, i);
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
            WriteTextToStandardOutput(help);
            return kExitSuccess;
        }
        return body(parsed);
    } catch (const UsageError& e) {
        // Usage errors quote what was typed: shown escaped, as file names are.
        PrintMessage(name, Printable(e.what()));
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

InputText ReadDatabaseText(const Arguments& args) {
    const std::string path = DatabasePath(args);
    FileSystem& fs = RealFileSystem();
    std::unique_ptr<InputFile> file;
    if (fs.IsFile(path)) {
        file = fs.OpenRead(path);
    } else {
        // Anything else that is no folder is read as it comes: a pipe ("--db <(zcat db.gz)"),
        // or a named pipe, whose wait for a writer is said.
        try {
            file = OpenInput(args.command, path);
        } catch (const FileError& e) {
            throw Failure(QuotedPath(path) + ": No segment database file (" +
                          Printable(e.reason()) + ")");
        }
    }
    return ReadInputText(*file, path, kDatabaseLimit);
}

namespace {

CodeTables BuiltInTables() {
    CodeTables tables;
    ReloadCodeTables(tables);
    return tables;
}

// The database's text, a NUL byte that cuts it short said as a list's is.
std::string DatabaseBytes(const Arguments& args) {
    InputText text = ReadDatabaseText(args);
    if (text.nul) {
        PrintMessage(args.command, NulByteText(DatabasePath(args), *text.nul, text.head,
                                               "the database ends there"));
    }
    return std::move(text.bytes);
}

}  // namespace

ListLookup::ListLookup(const Arguments& args)
    : database(SegmentDatabase::FromBytes(DatabaseBytes(args))),
      tables(BuiltInTables()),
      resolve(database, tables, DefaultCollation()) {}

}  // namespace haojian::cli

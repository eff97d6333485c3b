#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cli/input_reading.h"
#include "core/database/segment_database.h"
#include "core/files/file_system.h"
#include "core/lookup/code_table.h"
#include "core/lookup/number_lookup.h"

namespace haojian::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Bad usage: a message for standard error, then exit 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure whose text is UTF-8, ready for standard error: exit 1.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A command's arguments after its name: options (with or without values) anywhere, "--" ends
// them, and "-" is an operand (standard input).
struct Arguments {
    std::string command;  // the command's name, for messages: "export", "db build"
    std::map<std::string, std::string, std::less<>> values;
    std::set<std::string, std::less<>> flags;
    std::vector<std::string> operands;

    bool Has(std::string_view flag) const { return flags.count(flag) != 0; }
    // The value of option, or fallback when it was not given.
    std::string Value(std::string_view option, std::string_view fallback) const;
};

// value_options take a value ("--db FILE", "--db=FILE", "-o FILE"); flag_options take none.
// "--help" (or "-h") is always a flag. Throws UsageError.
Arguments ParseArguments(const std::vector<std::string>& args,
                         const std::vector<std::string_view>& value_options,
                         const std::vector<std::string_view>& flag_options);

// Parses args and runs body on them, or prints help when asked. Turns UsageError into exit 2
// and any other failure into exit 1, each with a message on standard error that names the
// command, the file and the system's reason.
int RunCommand(std::string_view name, std::string_view help, const std::vector<std::string>& args,
               const std::vector<std::string_view>& value_options,
               const std::vector<std::string_view>& flag_options,
               const std::function<int(const Arguments&)>& body);

// The GBK text of a typed argument such as a filter: UTF-8 is converted, text that is no UTF-8
// but GBK is taken as it stands. Throws UsageError, naming option, for anything else.
std::string GbkArgument(std::string_view option, std::string_view text);

// The path of the database named by --db, else of kelvaronset.dat beside the executable.
std::string DatabasePath(const Arguments& args);
// That database as ReadInputText reads it: a file, or a pipe read to its end or its first NUL
// byte. Throws Failure when it is missing, a folder or larger than any database, FileError when
// it cannot be read.
InputText ReadDatabaseText(const Arguments& args);

// What the look-up of number lists needs: the database named by the arguments (read as
// ReadDatabaseText reads it; a NUL byte that cuts it short is said on standard error), the
// built-in code tables, and the resolver over both.
struct ListLookup {
    explicit ListLookup(const Arguments& args);
    ListLookup(const ListLookup&) = delete;
    ListLookup& operator=(const ListLookup&) = delete;

    const SegmentDatabase database;
    const CodeTables tables;
    const NumberResolver resolve;  // on database and tables, so after them
};

}  // namespace haojian::cli

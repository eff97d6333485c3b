#include "cli/table_output.h"

#include "cli/cli_support.h"
#include "cli/messages.h"

namespace haojian::cli {

OutputFormat ChosenFormat(const Arguments& args, const std::string& output) {
    if (args.values.count("--format") == 0) return OutputFormatFromPath(output);
    OutputFormat format = OutputFormat::kText;
    const std::string name = args.Value("--format", "");
    if (!OutputFormatFromName(name, format)) {
        throw UsageError("--format takes txt, csv, tsv or xlsx, not '" + Printable(name) + "'");
    }
    return format;
}

CsvEncoding ChosenEncoding(const Arguments& args, OutputFormat format) {
    if (!args.Has("--utf8")) return CsvEncoding::kGbk;
    if (format != OutputFormat::kCsv && format != OutputFormat::kTsv) {
        throw UsageError(
            "--utf8 is for CSV and TSV files; text and workbooks are written as "
            "they are");
    }
    return CsvEncoding::kUtf8;
}

}  // namespace haojian::cli

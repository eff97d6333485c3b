#pragma once

#include <string>

#include "core/table/csv_writer.h"
#include "core/table/table_writer.h"

namespace haojian::cli {

struct Arguments;

// The format of a command's output file: --format when given (txt, csv, tsv or xlsx), else
// what output's name says. Throws UsageError for another --format.
OutputFormat ChosenFormat(const Arguments& args, const std::string& output);

// The encoding of a CSV or TSV file: UTF-8 with --utf8, else GBK. Throws UsageError for --utf8
// with another format, where it would change nothing.
CsvEncoding ChosenEncoding(const Arguments& args, OutputFormat format);

}  // namespace haojian::cli

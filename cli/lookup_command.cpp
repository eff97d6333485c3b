#include <array>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/messages.h"
#include "cli/number_list_stream.h"
#include "cli/progress.h"
#include "cli/standard_output.h"
#include "cli/table_lists.h"
#include "cli/table_output.h"
#include "core/collation/collation.h"
#include "core/export/looked_up_rows.h"
#include "core/files/buffered_writer.h"
#include "core/lookup/number_lookup.h"
#include "core/table/number_cleaning.h"
#include "core/table/packed_rows.h"
#include "core/table/text_line_writer.h"
#include "core/text/fixed_texts.h"
#include "core/text/gbk.h"
#include "core/text/line_list.h"
#include "core/threads/chunk_pipeline.h"

namespace haojian::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: haojian-cli lookup [--db FILE] [--utf8] [-o OUT] [--format F] [-q] [--clean]\n"
    "                          [--sheet NAME|N] [--column NAME|LETTER|N] LIST...\n"
    "\n"
    "Looks up every entry of each number list (\"-\" is standard input) and writes one line\n"
    "per entry to standard output: the number, province, city and card type, separated by\n"
    "TAB and ended by LF. A list is read as the desktop program imports one: any line end,\n"
    "a NUL byte ends the text, and entries are neither trimmed nor tested. Numbers outside\n"
    "the database get 未知 for province and city and their card type from the first three\n"
    "digits; the card types are 移动, 电信, 联通, 虚拟 and 未知. A list cut short by a NUL\n"
    "byte is looked up up to it, then the file and the byte's offset are reported and the\n"
    "exit status is 1.\n"
    "\n"
    "  --db FILE     the segment database (default: kelvaronset.dat beside this program)\n"
    "  --utf8        write UTF-8 instead of the GBK bytes that the files and tables hold\n"
    "                (a CSV or TSV file in UTF-8 with a byte-order mark)\n"
    "  -o OUT        write to the file OUT instead, replaced only once complete; its name\n"
    "                says its format: .xlsx a workbook, .csv or .tsv a table, with the\n"
    "                header 手机号码, 省份, 城市, 卡类 and a row per entry (a table's rows keep\n"
    "                all their cells, followed by the three); anything else the lines above\n"
    "  --format F    txt, csv, tsv or xlsx, whatever OUT's name says; without -o, the\n"
    "                table goes to standard output\n"
    "  -q            no progress line\n"
    "  -h, --help    show this text\n"
    "\n"
    "A list that begins with a UTF-8 or UTF-16 byte-order mark is converted to GBK, which is\n"
    "said on standard error, with the number of characters that GBK cannot hold (they become\n"
    "\"?\"). A run that takes over a second shows its progress on standard error when that is\n"
    "a terminal. Lookup is a stream filter: lists are read and answered a piece at a time, in\n"
    "little memory whatever their length, each line written as soon as it is read; split a\n"
    "list, look up the parts anywhere, join the results in order.\n"
    "\n"
    "For a table, each row is written with its cells separated by TAB (a TAB or line break\n"
    "inside a cell becomes a space), followed by the province, city and card type of its number;\n"
    "the header row is followed by 省份, 城市 and 卡类, and an empty row stays empty.\n"
    "\n"
    "Messages are printed in UTF-8. Exit status: 0 done, 1 failure, 2 bad usage.\n";

bool IsAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

// The UTF-8 form of the few distinct texts that fields take, converted once each.
class Utf8Texts {
public:
    std::string_view operator()(std::string_view gbk) {
        const auto [it, added] = texts_.try_emplace(std::string(gbk));
        if (added) it->second = Utf8FromGbk(gbk);
        return it->second;
    }
    // A cell: converted each time, as cells are many and mostly distinct.
    std::string_view Convert(std::string_view gbk) {
        if (IsAscii(gbk)) return gbk;
        cell_ = Utf8FromGbk(gbk);
        return cell_;
    }

private:
    std::unordered_map<std::string, std::string> texts_;
    std::string cell_;
};

// A cell on a line of TAB-separated output: TABs and line breaks inside it become spaces.
void AppendCell(std::string& line, std::string_view cell) {
    const std::size_t from = line.size();
    line += cell;
    for (std::size_t i = from; i < line.size(); ++i) {
        if (line[i] == '\t' || line[i] == '\r' || line[i] == '\n') line[i] = ' ';
    }
}

// Packs a chunk's counts of changed entries and entries without a number (a chunk holds far
// fewer than 2^32 entries).
constexpr std::size_t PackCounts(std::size_t changed, std::size_t no_number) {
    return changed | (no_number << 32);
}

class LookupWriter {
public:
    // Writes lines to file, or rows to table when it is given.
    LookupWriter(const Arguments& args, const NumberResolver& resolve, OutputFile& file,
                 TableWriter* table)
        : utf8_(args.Has("--utf8")),
          clean_(args.Has(kCleanFlag)),
          resolve_(resolve),
          out_(file, std::size_t(64) << 10),
          table_(table),
          utf8_texts_(ChunkThreads(0) + 1) {}

    // The header of a text list's rows in a table.
    void TextListHeader() {
        if (table_ == nullptr) return;
        const std::array<std::string_view, 4> header = {text::kLayoutNumber, text::kColumnProvince,
                                                        text::kColumnCity, text::kColumnCard};
        table_->AddHeader(header);
    }

    // A text list: read a piece at a time, its lines looked up over all processors.
    NulCuts TextList(const Arguments& args, const std::string& operand) {
        Arguments one = args;
        one.operands = {operand};
        CleanReport report;
        Progress* progress = nullptr;
        const ChunkWork work{
            [&](std::size_t worker, std::string_view chunk, std::string& lines) -> std::size_t {
                if (!clean_) {
                    ResolveLines(chunk, resolve_,
                                 [&](const LookupResult& r) { Line(worker, r, lines); });
                    return 0;
                }
                std::size_t changed = 0;
                std::size_t no_number = 0;
                ForEachLine(chunk, [&](std::string_view entry) {
                    const CleanedNumber cleaned = CleanNumber(entry);
                    changed += cleaned.kind == CleanedNumber::Kind::kCleaned ? 1 : 0;
                    no_number += cleaned.kind == CleanedNumber::Kind::kNoNumber ? 1 : 0;
                    Line(worker, resolve_(cleaned.number), lines);
                });
                return PackCounts(changed, no_number);
            },
            [&](std::string_view chunk, std::string_view lines, std::size_t counts) {
                if (table_ != nullptr) {
                    ForEachPackedRow(lines, [&](std::span<const std::string_view> cells) {
                        table_->AddRow(cells);
                    });
                } else {
                    out_.Append(lines);
                }
                progress->Advance(chunk.size());
                if (counts == 0) return;
                report.AddCounts(counts & 0xFFFFFFFFu, counts >> 32);
                // Examples in the list's order: only chunks that hold some are read again.
                if (!report.WantsExamples()) return;
                ForEachLine(chunk, [&](std::string_view entry) {
                    if (report.WantsExamples()) report.AddExample(entry, CleanNumber(entry));
                });
            }};
        // A piece's lines are written before more input is waited for.
        NulCuts cuts = ForEachListPiece(one, [&](std::string_view piece, Progress& shown) {
            progress = &shown;
            pipeline_.Run(piece, work);
            out_.Flush();
        });
        report.Print(args, InputPath(operand));
        return cuts;
    }

    // A table: every row with its cells, then its number's answer.
    void Table(const Arguments& args, TableReader& table, const std::string& path) {
        CleanReport report;
        if (table_ != nullptr) {
            WriteLookedUpRows(table, resolve_, *table_, nullptr,
                              [&](std::string_view entry, const CleanedNumber& cleaned) {
                                  report.Add(entry, cleaned);
                              });
            report.Print(args, path);
            return;
        }
        const std::size_t worker = utf8_texts_.size() - 1;
        // A line waits a few rows for its answer, so that its number's entry in the index is
        // on its way while the rows after it are copied.
        constexpr std::size_t kAhead = 8;
        std::array<PendingLine, kAhead> pending;
        std::size_t seen = 0;
        const auto finish = [&](PendingLine& p) {
            if (p.kind == PendingLine::Kind::kHeader) {
                Answer(worker, {{}, text::kColumnProvince, text::kColumnCity, text::kColumnCard},
                       p.line);
            } else if (p.kind == PendingLine::Kind::kEmpty) {
                p.line += "\t\t";
            } else {
                report.Add(p.entry, p.cleaned);
                Answer(worker, resolve_(p.cleaned.number), p.line);
            }
            p.line += '\n';
            out_.Append(p.line);
        };
        table.ReadRows([&](const TableRow& row) {
            PendingLine& p = pending[seen++ % kAhead];
            if (seen > kAhead) finish(p);
            p.line.clear();
            for (const std::string& cell : row.cells) {
                AppendCell(p.line, utf8_ ? utf8_texts_[worker].Convert(cell) : cell);
                p.line += '\t';
            }
            p.kind = row.header    ? PendingLine::Kind::kHeader
                     : row.Empty() ? PendingLine::Kind::kEmpty
                                   : PendingLine::Kind::kNumber;
            if (p.kind == PendingLine::Kind::kNumber) {
                p.entry = row.NumberCell();
                p.cleaned = CleanNumber(p.entry);
                resolve_.Prefetch(p.cleaned.number);
            }
        });
        for (std::size_t i = seen > kAhead ? seen - kAhead : 0; i < seen; ++i) {
            finish(pending[i % kAhead]);
        }
        out_.Flush();
        report.Print(args, path);
    }

private:
    // A table row's line on standard output, its cells copied, waiting for its answer.
    struct PendingLine {
        enum class Kind { kHeader, kEmpty, kNumber };
        Kind kind = Kind::kEmpty;
        std::string line;
        std::string entry;  // the number's cell as it stood
        CleanedNumber cleaned;
    };

    void Field(std::size_t worker, std::string_view gbk, std::string& lines) {
        lines += utf8_ ? utf8_texts_[worker](gbk) : gbk;
    }
    // Province, city and card type, separated by TAB.
    void Answer(std::size_t worker, const LookupResult& r, std::string& lines) {
        Field(worker, r.province, lines);
        lines += '\t';
        Field(worker, r.city, lines);
        lines += '\t';
        Field(worker, r.card_type, lines);
    }
    // The answer for one entry: a line, or a packed row for the table.
    void Line(std::size_t worker, const LookupResult& r, std::string& lines) {
        if (table_ != nullptr) {
            const std::array<std::string_view, 4> cells = {r.number, r.province, r.city,
                                                           r.card_type};
            AppendPackedRow(lines, cells);
            return;
        }
        if (utf8_ && !IsAscii(r.number)) {
            lines += Utf8FromGbk(r.number);
        } else {
            lines += r.number;
        }
        lines += '\t';
        Answer(worker, r, lines);
        lines += '\n';
    }

    const bool utf8_;
    const bool clean_;
    const NumberResolver& resolve_;
    BufferedWriter out_;
    TableWriter* table_;
    ChunkPipeline pipeline_;
    // Each thread converts to UTF-8 with texts of its own; the last is the table's.
    std::vector<Utf8Texts> utf8_texts_;
};

int Lookup(const Arguments& args) {
    if (args.operands.empty()) throw UsageError("no number list given");
    const std::string output = OutputPath(args.Value("-o", "-"));
    const OutputFormat format = ChosenFormat(args, output);
    // --utf8 asks for UTF-8 lines as before, or a CSV or TSV file in UTF-8.
    const CsvEncoding encoding =
        format == OutputFormat::kText ? CsvEncoding::kGbk : ChosenEncoding(args, format);
    const ListLookup lookup(args);
    StandardOutputFileSystem fs(args.command);
    std::unique_ptr<TableWriter> table;
    std::unique_ptr<ReplacementFile> file;
    StandardOutput unused;
    if (format == OutputFormat::kText) {
        file = std::make_unique<ReplacementFile>(fs, output);
    } else {
        table = OpenTableWriter(fs, output, format, encoding);
    }
    LookupWriter writer(args, lookup.resolve, file ? file->file() : unused, table.get());
    std::vector<NulCuts> cuts;
    for (std::size_t i = 0; i < args.operands.size(); ++i) {
        const std::string& operand = args.operands[i];
        if (const std::unique_ptr<TableReader> reader = OpenTable(args, operand)) {
            writer.Table(args, *reader, InputPath(operand));
        } else {
            // A table made of text lists has one header, before the first list's rows.
            if (i == 0) writer.TextListHeader();
            cuts.push_back(writer.TextList(args, operand));
        }
    }
    if (file) file->Commit();
    if (table) table->Commit();
    bool cut = false;
    for (const NulCuts& c : cuts) cut = c.Report(args.command) || cut;
    return cut ? kExitFailure : kExitSuccess;
}

}  // namespace

int RunLookup(const std::vector<std::string>& args) {
    const std::string help = std::string(kHelp) + "\n" + std::string(kTableHelp);
    return RunCommand("lookup", help, args, {"--db", "-o", "--format", kSheetOption, kColumnOption},
                      {"--utf8", "-q", kCleanFlag}, Lookup);
}

}  // namespace haojian::cli

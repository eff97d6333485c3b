#include "core/export/split_export.h"

#include "core/table/text_line_writer.h"

namespace haojian {

SplitFolderTarget::SplitFolderTarget(FileSystem& fs, std::string folder, OutputFormat format,
                                     CsvEncoding encoding, std::vector<std::string> header)
    : fs_(fs),
      folder_(std::move(folder)),
      format_(format),
      encoding_(encoding),
      header_(std::move(header)) {
    if (!folder_.empty() && folder_.back() != '/' && folder_.back() != '\\') folder_ += '/';
}

void SplitFolderTarget::Add(std::string_view key, std::span<const std::string_view> cells) {
    auto it = files_.find(key);
    if (it == files_.end()) {
        const std::string path = folder_ + names_.Take(key, OutputFormatExtension(format_));
        auto writer = OpenTableWriter(fs_, path, format_, encoding_);
        if (format_ != OutputFormat::kText) {
            const std::vector<std::string_view> header(header_.begin(), header_.end());
            writer->AddHeader(header);
        }
        writers_.push_back(std::move(writer));
        paths_.push_back(path);
        it = files_.emplace(std::string(key), writers_.size() - 1).first;
    }
    writers_[it->second]->AddRow(cells);
}

void SplitFolderTarget::Commit() {
    for (const std::unique_ptr<TableWriter>& writer : writers_) writer->Commit();
}

SplitWorkbookTarget::SplitWorkbookTarget(FileSystem& fs, const std::string& path,
                                         std::vector<std::string> header, std::size_t sheet_rows)
    : workbook_(fs, path, sheet_rows), header_(std::move(header)) {}

void SplitWorkbookTarget::Add(std::string_view key, std::span<const std::string_view> cells) {
    auto it = sheets_.find(key);
    if (it == sheets_.end()) {
        it = sheets_.emplace(std::string(key), workbook_.StartSheet(key, header_)).first;
    }
    workbook_.AddRow(it->second, cells);
}

}  // namespace haojian

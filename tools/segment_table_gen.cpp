// Makes a segment table in the style of published ones from a segment database, to try
// 'haojian-cli db build' on a table of real size.
//
//   segment_table_gen DATABASE ROWS OUTPUT [--gbk|--bom] [--tab] [--official]
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "core/files/file_system.h"
#include "tools/support/segment_table_sample.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: segment_table_gen DATABASE ROWS OUTPUT [--gbk|--bom] [--tab] "
                     "[--official]\n";
        return 2;
    }
    haojian::tools::TableStyle style;
    for (int i = 4; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--gbk") {
            style.encoding = haojian::tools::TableStyle::Encoding::kGbk;
        } else if (option == "--bom") {
            style.encoding = haojian::tools::TableStyle::Encoding::kUtf8WithMark;
        } else if (option == "--tab") {
            style.separator = '\t';
        } else if (option == "--official") {
            style.official_names = true;
        } else {
            std::cerr << "segment_table_gen: unknown option " << option << "\n";
            return 2;
        }
    }
    try {
        haojian::FileSystem& fs = haojian::RealFileSystem();
        const std::string table = haojian::tools::SegmentTableFromDatabase(
            haojian::ReadWholeFile(fs, argv[1]), std::strtoull(argv[2], nullptr, 10), style);
        haojian::ReplacementFile out(fs, argv[3]);
        out.file().Write(table);
        out.Commit();
    } catch (const std::exception& e) {
        std::cerr << "segment_table_gen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

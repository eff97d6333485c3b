// Writes the fingerprint of this build's GBK conversion (tools/support/gbk_digest.h) to the file
// given, for the test that holds every platform's conversion to the one made on Linux:
//   gbk_digest_gen tests/tools/gbk_digest_linux.inc
#include <fstream>
#include <iostream>

#include "tools/support/gbk_digest.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: gbk_digest_gen OUT\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << haojian::tools::GbkDigestSource(haojian::tools::CurrentGbkDigest());
    out.close();
    if (!out) {
        std::cerr << "gbk_digest_gen: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}

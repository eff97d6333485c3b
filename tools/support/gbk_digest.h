#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace haojian::tools {

// A compact fingerprint of the GBK conversion, so that the platforms' can be compared with one
// made on Linux without a table of every character: row b of the decoding digest is a hash of
// the code units that each of the 256 byte pairs b, t (t = 0..255) decodes to; row h of the
// encoding digest a hash of the bytes that each code unit h << 8 | l encodes to.
struct GbkDigest {
    std::array<std::uint64_t, 256> decoding{};
    std::array<std::uint64_t, 256> encoding{};
};

// The digest of this build's conversion.
GbkDigest CurrentGbkDigest();

// The digest as a C++ initializer, for the file gbk_digest_gen writes.
std::string GbkDigestSource(const GbkDigest& digest);

}  // namespace haojian::tools

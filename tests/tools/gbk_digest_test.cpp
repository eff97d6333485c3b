// GBK converts alike on every platform: each byte pair decodes, and each code unit encodes, as
// on Linux, where the committed digest was made (ICU's converter there, code page 936 on
// Windows).
#include <gtest/gtest.h>

#include "core/text/gbk.h"
#include "tools/support/gbk_digest.h"

namespace haojian::tools {
namespace {

constexpr GbkDigest kLinuxDigest =
#include "tests/tools/gbk_digest_linux.inc"
    ;

TEST(GbkDigest, EveryPairAndUnitConvertsAsOnLinux) {
    const GbkDigest digest = CurrentGbkDigest();
    for (int row = 0; row < 256; ++row) {
        EXPECT_EQ(digest.decoding[row], kLinuxDigest.decoding[row])
            << "byte pairs beginning with " << std::hex << row << " decode otherwise";
        EXPECT_EQ(digest.encoding[row], kLinuxDigest.encoding[row])
            << "code units " << std::hex << (row << 8) << "-" << (row << 8 | 0xFF)
            << " encode otherwise";
    }
    // A few by name, so that a table made wrong shows too: 0x80 is the euro sign, a byte
    // starting no character (0xFF, a lone lead byte) gets a code point of its own, and 啊 is
    // the first GB2312 character.
    EXPECT_EQ(Utf16FromGbk("\x80"), u"\u20AC");
    EXPECT_EQ(Utf16FromGbk("\xFF"), std::u16string(1, PrivateUseForByte(0xFF)));
    EXPECT_EQ(Utf16FromGbk("\x81"), std::u16string(1, PrivateUseForByte(0x81)));
    EXPECT_EQ(Utf16FromGbk("\xB0\xA1"), u"啊");
    EXPECT_EQ(GbkFromUtf16(u"啊\u20AC"), "\xB0\xA1\x80");
}

}  // namespace
}  // namespace haojian::tools

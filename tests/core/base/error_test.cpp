// A failed file operation carries what happened; the system's reason comes in UTF-8.
#include "core/base/error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "core/text/text_encoding.h"

namespace haojian {
namespace {

TEST(FileError, CarriesWhatHappenedAndTheSystemsReason) {
    const FileError full(FileError::Op::Write, "out/\xE5\x8D\x97.txt", ENOSPC);
    EXPECT_EQ(full.op(), FileError::Op::Write);
    EXPECT_EQ(full.path(), "out/\xE5\x8D\x97.txt");  // the bytes as given, nothing converted
    EXPECT_EQ(full.code(), ENOSPC);
    EXPECT_EQ(full.reason(), SystemReason(ENOSPC));
    EXPECT_FALSE(full.reason().empty());
    EXPECT_STREQ(full.what(), ("cannot write out/\xE5\x8D\x97.txt: " + full.reason()).c_str());

    // A failure without a number keeps the reason it was given.
    const FileError changed(FileError::Op::Read, "a.txt", 0, std::string(kSizeChangedReason));
    EXPECT_EQ(changed.code(), 0);
    EXPECT_EQ(changed.reason(), kSizeChangedReason);
}

TEST(FileError, SystemReasonsAreUtf8) {
    for (const int code : {ENOENT, EACCES, ENOSPC, EAGAIN, EEXIST, 0, 9999}) {
        EXPECT_TRUE(IsValidUtf8(SystemReason(code))) << code;
    }
}

}  // namespace
}  // namespace haojian

// The failures' messages as the error box shows them.
#include "core/base/error.h"

#include <gtest/gtest.h>

#include <new>
#include <string>

#include "core/text/fixed_texts.h"

namespace haojian {
namespace {

TEST(ErrorBox, FullStopFollowsTheLastByte) {
    EXPECT_EQ(ErrorBoxText(text::kRefuseNoList), std::string(text::kRefuseNoList) + ".");
    EXPECT_EQ(ErrorBoxText("I/O error 28"), "I/O error 28.");
    EXPECT_EQ(ErrorBoxText("Stream read error."), "Stream read error.");
    EXPECT_EQ(ErrorBoxText("done!"), "done!");  // "!" sorts before "."
    EXPECT_EQ(ErrorBoxText(""), "");
    // Any failure has a message of its own; a failed allocation says what it is.
    EXPECT_EQ(ErrorBoxText(FailureMessage(std::bad_alloc())), "Out of memory.");
    EXPECT_EQ(FailureMessage(Error(std::string(text::kRefuseNoList))), text::kRefuseNoList);
}

}  // namespace
}  // namespace haojian

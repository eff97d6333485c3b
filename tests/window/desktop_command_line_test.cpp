// The window program's command line, read alike by both windows: help and version before any
// display, one file to import.
#include "window/desktop_command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace haojian {
namespace {

using Action = DesktopCommandLine::Action;

DesktopCommandLine Read(std::vector<std::string> arguments) {
    return ReadDesktopCommandLine(arguments);
}

TEST(DesktopCommandLine, HelpVersionOneFileAndRefusals) {
    EXPECT_EQ(Read({}).action, Action::OpenWindow);
    EXPECT_TRUE(Read({}).file.empty());
    // Help and version win wherever they stand, even beside options a toolkit has not taken.
    EXPECT_EQ(Read({"-platform", "xcb", "--help"}).action, Action::PrintHelp);
    EXPECT_EQ(Read({"a.txt", "-h"}).action, Action::PrintHelp);
    EXPECT_EQ(Read({"--version"}).action, Action::PrintVersion);
    // After "--" they are file names.
    const DesktopCommandLine named = Read({"--", "--help"});
    EXPECT_EQ(named.action, Action::OpenWindow);
    EXPECT_EQ(named.file, "--help");
    EXPECT_EQ(Read({"--", "a.txt", "--"}).action, Action::Refuse);  // two files
    EXPECT_EQ(Read({"\xE5\x88\x97\xE8\xA1\xA8.txt"}).file, "\xE5\x88\x97\xE8\xA1\xA8.txt");
    EXPECT_EQ(Read({"C:\\Users\\\xE5\xBC\xA0\\list.txt"}).file,
              "C:\\Users\\\xE5\xBC\xA0\\list.txt");

    const DesktopCommandLine unknown = Read({"--frobnicate"});
    EXPECT_EQ(unknown.action, Action::Refuse);
    EXPECT_NE(unknown.problem.find("--frobnicate"), std::string::npos);
    EXPECT_EQ(Read({"a.txt", "b.txt"}).action, Action::Refuse);

    EXPECT_NE(DesktopUsage().find("haojian-cli"), std::string::npos);
    EXPECT_TRUE(DesktopVersion().starts_with("haojian "));
}

}  // namespace
}  // namespace haojian

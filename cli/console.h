#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace haojian::cli {

// What haojian-cli asks of the system's standard streams. Platform code.

// Readies the standard streams before anything is read or written: on Windows binary mode (no
// CR LF translation of GBK data) and messages to a console through its wide functions.
void PrepareStandardStreams();

// Writes a text (UTF-8: help, a report, a status line) to standard output: to a console in
// its own characters (on Windows UTF-16 through WriteConsoleW, as messages are), elsewhere as
// it is. Throws FileError (Write, naming standard output) when it cannot be written.
void WriteTextToStandardOutput(std::string_view utf8);

// Whether stream (standard error) is a console or terminal that shows a progress line.
bool ShowsProgress(std::FILE* stream);

// Whether path names the very file that standard output writes to.
bool IsFileOfStandardOutput(const std::string& path);

// Called when standard output was closed by its reader (EPIPE). On Windows it ends the program
// quietly, as SIGPIPE does on Linux; where it returns, the failure is reported as any other.
void OnClosedOutput();

}  // namespace haojian::cli

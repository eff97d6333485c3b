#pragma once

#include <cstdio>
#include <string>

namespace haojian::cli {

// What haojian-cli asks of the system's standard streams. Platform code.

// Readies the standard streams before anything is read or written: on Windows binary mode (no
// CR LF translation of GBK data) and messages to a console through its wide functions.
void PrepareStandardStreams();

// Whether stream (standard error) is a console or terminal that shows a progress line.
bool ShowsProgress(std::FILE* stream);

// Whether path names the very file that standard output writes to.
bool IsFileOfStandardOutput(const std::string& path);

// Called when standard output was closed by its reader (EPIPE). On Windows it ends the program
// quietly, as SIGPIPE does on Linux; where it returns, the failure is reported as any other.
void OnClosedOutput();

}  // namespace haojian::cli

#pragma once

namespace haojian::cli {

// On SIGINT, SIGTERM and SIGHUP, removes the hidden temporary files of results being written,
// then ends the program as the signal would have. A signal ignored at start (as under nohup)
// stays ignored.
void RemoveTemporaryFilesOnTermination();

}  // namespace haojian::cli

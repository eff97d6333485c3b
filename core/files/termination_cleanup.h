#pragma once

namespace haojian {

// For a program that may be ended by a signal or its like (SIGINT, SIGTERM, SIGHUP): removes
// the hidden temporary files of results being written, then ends the program as the signal
// would have. A signal ignored at start (as under nohup) stays ignored.
void RemoveTemporaryFilesOnTermination();

}  // namespace haojian

#pragma once

namespace haojian {

// On SIGINT, SIGTERM and SIGHUP, removes the hidden temporary files of results being written,
// then ends the program as the signal would have (a file being rewritten in place is finished
// first). A signal ignored at start (as under nohup) stays ignored. SIGXFSZ is ignored, so that
// a file size limit makes a write fail with an error instead of ending the program.
void RemoveTemporaryFilesOnTermination();

}  // namespace haojian

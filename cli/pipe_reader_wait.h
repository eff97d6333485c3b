#pragma once

#include <functional>
#include <string>

namespace haojian::cli {

// A result named as a named pipe is opened only once a program opens the pipe for reading.
// Made just before the result is opened, this tells that wait, as reading tells a wait for a
// writer: when path is a named pipe that no program has opened for reading within a second,
// waiting is called. It keeps the pipe open for writing while it lives, so that a reader that
// came is not sent the pipe's end before the result is opened. Platform code.
class PipeReaderWait {
public:
    PipeReaderWait(const std::string& path, const std::function<void()>& waiting);
    ~PipeReaderWait();
    PipeReaderWait(const PipeReaderWait&) = delete;
    PipeReaderWait& operator=(const PipeReaderWait&) = delete;

private:
    int fd_ = -1;
};

}  // namespace haojian::cli

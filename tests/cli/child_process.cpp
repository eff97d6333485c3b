#include "tests/cli/child_process.h"

namespace haojian::testing {

using Clock = std::chrono::steady_clock;

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::string& folder, Output output) {
    Start(program, args, folder, output);
    if (status_ < 0) {
        ended_ = true;
        Close(Stream::kError);
    }
    // Drained meanwhile, so that a program with much to say never waits on it.
    err_reader_ = std::thread(
        [this] { ReadUntil(Stream::kError, err_, std::string::npos, Clock::time_point::max()); });
}

ChildProcess::~ChildProcess() {
    if (!ended_) Kill();
    Wait();
}

void ChildProcess::CloseInput() {
    Close(Stream::kInput);
}

const std::string& ChildProcess::ReadOutput(std::size_t size) {
    ReadUntil(Stream::kOutput, out_, size, Clock::now() + kOutputWait);
    return out_;
}

void ChildProcess::CloseOutput() {
    Close(Stream::kOutput);
}

ProcessResult ChildProcess::Wait() {
    CloseInput();
    ReadUntil(Stream::kOutput, out_, std::string::npos, Clock::time_point::max());
    Close(Stream::kOutput);
    if (err_reader_.joinable()) err_reader_.join();
    Close(Stream::kError);
    if (!ended_) {
        status_ = AwaitExit();
        ended_ = true;
    }
    return {status_, out_, err_};
}

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& folder, const std::string& input) {
    ChildProcess child(program, args, folder);
    // Written meanwhile, so that a program that answers before reading all of it never waits
    // on an output nobody reads.
    std::thread writer([&] {
        child.Write(input);
        child.CloseInput();
    });
    child.ReadOutput(std::string::npos);
    writer.join();
    return child.Wait();
}

}  // namespace haojian::testing

// Runs a program as a child process and collects what it leaves on its standard streams.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace haojian::testing {

// The longest ChildProcess::ReadOutput waits: a program that never answers fails the test
// instead of holding it.
constexpr std::chrono::seconds kOutputWait{30};

struct ProcessResult {
    int status;  // the exit code; -1 when the program did not exit by itself
    std::string out;
    std::string err;
};

// A program running with its standard input, output and error on pipes of this process;
// killed if still running when the object goes.
class ChildProcess {
public:
    // Where its standard output goes: a pipe to this process, or nowhere (no handle at all,
    // as for a program started by one that gave it none).
    enum class Output { kPipe, kNone };
    // Starts program (a UTF-8 path) with args (UTF-8, passed as they are, no shell between)
    // in folder.
    ChildProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::string& folder, Output output = Output::kPipe);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Sends bytes to its standard input; a program that has stopped reading takes nothing.
    void Write(std::string_view bytes);
    void CloseInput();
    // Reads its standard output until at least size bytes have come in all, the output ends
    // or kOutputWait has passed; what has come so far.
    const std::string& ReadOutput(std::size_t size);
    // Stops reading its standard output, as a reader that has all it wants.
    void CloseOutput();
    // Ends its input, reads the rest of its output and error and waits for it to end.
    ProcessResult Wait();

private:
    enum class Stream { kInput, kOutput, kError };
    // What each platform gives (platform/<platform>): starting the program, its pipes, its
    // end. Start sets status_ and err_ when the program cannot be started.
    struct Platform;
    void Start(const std::string& program, const std::vector<std::string>& args,
               const std::string& folder, Output output);
    void Close(Stream stream);
    // Reads stream until bytes holds size bytes, the pipe ends or deadline passes.
    void ReadUntil(Stream stream, std::string& bytes, std::size_t size,
                   std::chrono::steady_clock::time_point deadline);
    void Kill();
    int AwaitExit();

    // Made by Start, where Platform is whole, which shared_ptr lets end it here.
    std::shared_ptr<Platform> platform_;
    std::string out_;
    std::string err_;
    std::thread err_reader_;
    bool ended_ = false;
    int status_ = 0;
};

// Runs program with input on its standard input until it ends.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& folder, const std::string& input);

}  // namespace haojian::testing

#include "core/base/error.h"

namespace haojian {
namespace {

const char* OpName(FileError::Op op) {
    switch (op) {
        case FileError::Op::Open:
            return "open";
        case FileError::Op::Create:
            return "create";
        case FileError::Op::Read:
            return "read";
        case FileError::Op::Write:
            return "write";
        case FileError::Op::Close:
            return "close";
        case FileError::Op::Rename:
            return "rename";
    }
    return "use";
}

}  // namespace

FileError::FileError(Op op, std::string path, int code)
    : FileError(op, std::move(path), code, SystemReason(code)) {}

FileError::FileError(Op op, std::string path, int code, std::string reason)
    : FileError(op, std::move(path), code, std::move(reason), code) {}

FileError::FileError(Op op, std::string path, int code, std::string reason, int system_code)
    : std::runtime_error(std::string("cannot ") + OpName(op) + " " + path + ": " + reason),
      op_(op),
      path_(std::move(path)),
      code_(code),
      reason_(std::move(reason)),
      system_code_(system_code) {}

}  // namespace haojian

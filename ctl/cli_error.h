#pragma once
// A command that cannot go on: its message and the exit status it ends with.

#include "exit_codes.h"

#include <stdexcept>
#include <string>

namespace velmora::cli {

class CliError : public std::runtime_error {
public:
    CliError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    int Code() const { return code_; }

private:
    int code_;
};

}  // namespace velmora::cli

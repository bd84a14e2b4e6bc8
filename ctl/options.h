#pragma once
// velmoractl's command line: the command, its words and the options.

#include <optional>
#include <string>
#include <vector>

namespace velmora::cli {

inline constexpr unsigned kDefaultBaud = 115200;
inline constexpr int kAnswerTimeoutMs = 2000;  // per try; one retry follows
inline constexpr int kSearchTimeoutMs = 2000;  // how long search listens
inline constexpr int kConfigureTimeoutMs = 15000;  // the panel's own wait for a configuration answer

struct Options {
    std::string command;  // empty: none given
    std::vector<std::string> words;  // what follows the command
    std::string port;  // --port: COM<n> or a device path
    std::optional<std::string> portDir;
    unsigned baud = kDefaultBaud;
    std::string host;  // --host ADDRESS[:PORT]
    std::optional<int> timeoutMs;  // --timeout SECONDS
    bool json = false;
    bool help = false;
    bool version = false;
    bool dhcp = false;  // configure --dhcp
    std::string ip;  // configure --ip
};

// Throws CliError (usage) for an unknown option or a bad option value.
Options ParseOptions(const std::vector<std::string>& args);

// The program's help, or a command's; empty for an unknown command.
std::string ProgramHelp();
std::string CommandHelp(const std::string& command);

}  // namespace velmora::cli

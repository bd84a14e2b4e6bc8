// velmoractl: the switcher's settings from a script.

#include "cli_error.h"
#include "commands.h"
#include "serial_link.h"
#include "tcp_link.h"

#include "transport/port_map.h"

#include <cstdio>
#include <iostream>

using namespace velmora::cli;

namespace {

constexpr const char* kProgram = "velmoractl";

std::unique_ptr<Link> OpenLink(const Options& options, int timeoutMs)
{
    if (options.port.empty() == options.host.empty()) {
        throw CliError(kExitUsage, options.command + " wants the switcher: --port PORT or --host ADDRESS");
    }
    if (!options.host.empty()) {
        return TcpLink::Open(options.host, timeoutMs);
    }
    return SerialLink::Open(options.port, options.baud);
}

Json Run(const Options& options)
{
    const std::string& command = options.command;
    if (command == "ports") {
        return RunPorts(options);
    }
    if (command == "search") {
        return RunSearch(options);
    }
    if (command == "configure") {
        return RunConfigure(options);
    }
    Json (*run)(const Options&, Exchange&) = nullptr;
    if (command == "status") {
        run = RunStatus;
    } else if (command == "set") {
        CheckSet(options);
        run = RunSet;
    } else if (command == "raw") {
        CheckRaw(options);
        run = RunRaw;
    } else {
        throw CliError(kExitUsage, "unknown command '" + command + "' (velmoractl --help lists them)");
    }
    const int timeoutMs = options.timeoutMs.value_or(kAnswerTimeoutMs);
    const std::unique_ptr<Link> link = OpenLink(options, timeoutMs);
    Exchange exchange(*link, timeoutMs);
    return run(options, exchange);
}

int Help(const Options& options)
{
    const std::string& topic =
        options.command == "help" && !options.words.empty() ? options.words.front() : options.command;
    if (topic.empty() || topic == "help") {
        std::cout << ProgramHelp();
        return kExitDone;
    }
    const std::string text = CommandHelp(topic);
    if (text.empty()) {
        std::cerr << kProgram << ": no command '" << topic << "'\n";
        return kExitUsage;
    }
    std::cout << text;
    return kExitDone;
}

int Fail(bool json, int code, const std::string& message)
{
    if (json) {
        std::cout << Json::Object().Add("error", Json::Text(message)).Add("exit", Json::Number(code)).Dump() << '\n';
    } else {
        std::cerr << kProgram << ": " << message << '\n';
    }
    return code;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    bool json = false;
    try {
        const Options options = ParseOptions(args);
        json = options.json;
        if (options.version) {
            std::cout << kProgram << " " << VELMORA_VERSION << '\n';
            return kExitDone;
        }
        if (options.help || options.command.empty() || options.command == "help") {
            return Help(options);
        }
        if (options.portDir) {
            velmora::transport::PortMap::SetDirectory(*options.portDir);
        }
        const Json result = Run(options);
        std::cout << (json ? result.Dump() + "\n" : result.Lines());
        return kExitDone;
    } catch (const CliError& error) {
        return Fail(json, error.Code(), error.what());
    } catch (const std::exception& error) {
        return Fail(json, kExitFailed, error.what());
    }
}

#include "sim/cli_options.h"

#include <charconv>
#include <climits>
#include <filesystem>
#include <functional>

namespace velmora::sim {

namespace {

std::optional<long> ParseNumber(const std::string& text, long low, long high)
{
    long value = 0;
    const char* end = text.data() + text.size();
    // Decimal, or hexadecimal with 0x (class bytes read better that way).
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const auto [ptr, ec] = std::from_chars(text.data() + (hex ? 2 : 0), end, value, hex ? 16 : 10);
    if (ec != std::errc() || ptr != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

struct NumberOption {
    const char* name;
    long low;
    long high;
    std::function<void(SimOptions&, long)> apply;
};

constexpr long kMaxPort = 65535;
constexpr long kMaxBaud = 4'000'000;
constexpr long kMinBaud = 50;
constexpr long kMaxDelayMs = 60'000;
constexpr long kMaxCount = 1'000'000;
constexpr long kMaxCom = 255;
constexpr long kMaxNoise = 64;
constexpr long kMaxClass = 0xFF;

const NumberOption kNumberOptions[] = {
    {"--baud", kMinBaud, kMaxBaud, [](SimOptions& o, long v) { o.baud = static_cast<unsigned>(v); }},
    {"--delay-ms", 0, kMaxDelayMs, [](SimOptions& o, long v) { o.processingDelayMs = static_cast<int>(v); }},
    {"--com", 1, kMaxCom, [](SimOptions& o, long v) { o.comNumber = static_cast<int>(v); }},
    {"--tcp-port", 0, kMaxPort, [](SimOptions& o, long v) { o.tcpPort = static_cast<int>(v); }},
    {"--drop-every", 0, kMaxCount, [](SimOptions& o, long v) { o.dropEvery = static_cast<int>(v); }},
    {"--corrupt-every", 0, kMaxCount, [](SimOptions& o, long v) { o.corruptEvery = static_cast<int>(v); }},
    {"--noise-bytes", 0, kMaxNoise, [](SimOptions& o, long v) { o.noiseBytes = static_cast<int>(v); }},
    {"--hang-up-after", 0, kMaxCount, [](SimOptions& o, long v) { o.hangUpAfter = static_cast<int>(v); }},
    {"--close-tcp-after", 0, kMaxCount, [](SimOptions& o, long v) { o.closeTcpAfter = static_cast<int>(v); }},
    {"--drop-class", kNoClass, kMaxClass, [](SimOptions& o, long v) { o.dropClass = static_cast<int>(v); }},
    {"--delay-every", 0, kMaxCount, [](SimOptions& o, long v) { o.delayEvery = static_cast<int>(v); }},
    {"--delay-extra-ms", 0, kMaxDelayMs, [](SimOptions& o, long v) { o.delayMs = static_cast<int>(v); }},
    {"--search-port", 0, kMaxPort, [](SimOptions& o, long v) { o.searchPort = static_cast<int>(v); }},
    {"--config-port", 0, kMaxPort, [](SimOptions& o, long v) { o.configPort = static_cast<int>(v); }},
};

// Options without a value: each sets one switch of the options.
struct FlagOption {
    const char* name;
    bool SimOptions::*field;
    bool value;
};

const FlagOption kFlagOptions[] = {
    {"--no-pty", &SimOptions::pty, false},
    {"--no-tcp", &SimOptions::tcp, false},
    {"--split-tcp", &SimOptions::splitTcp, true},
    {"--coalesce-tcp", &SimOptions::coalesceTcp, true},
    {"--udp", &SimOptions::udp, true},
    {"--no-udp-broadcast", &SimOptions::udpBroadcast, false},
    {"--drop-mixer-over-volume", &SimOptions::dropMixerOverVolume, true},
};

struct TextOption {
    const char* name;
    std::string SimOptions::*field;
};

const TextOption kTextOptions[] = {
    {"--udp-bind", &SimOptions::udpBind},
    {"--port-dir", &SimOptions::portDir},
    {"--tcp-bind", &SimOptions::tcpBind},
};

template <class Option, std::size_t N>
const Option* Find(const Option (&options)[N], const std::string& name)
{
    for (const Option& option : options) {
        if (name == option.name) {
            return &option;
        }
    }
    return nullptr;
}

// Options that are each well-formed but do not fit together, or name what
// is not there.
std::string Inconsistency(const SimOptions& o)
{
    if (!o.pty && !o.tcp && !o.udp) {
        return "--no-pty and --no-tcp leave nothing to listen on";
    }
    if (o.comNumber > 0 && o.portDir.empty()) {
        return "--com needs --port-dir: the directory the com" + std::to_string(o.comNumber) + " link goes into";
    }
    if (!o.portDir.empty()) {
        std::error_code ec;
        if (!std::filesystem::exists(o.portDir, ec)) {
            return "--port-dir " + o.portDir + ": no such directory";
        }
        if (!std::filesystem::is_directory(o.portDir, ec)) {
            return "--port-dir " + o.portDir + ": not a directory";
        }
    }
    return {};
}

}  // namespace

std::string HelpText()
{
    return "Usage: velmora-sim [options]\n"
           "A simulated Velmora five-input presentation switcher. It answers the control\n"
           "panel on a pseudo-terminal (its path is printed) and on TCP, until SIGINT or SIGTERM.\n"
           "\n"
           "Lines:\n"
           "  --baud N            serial line speed, 8N2 pacing (default 115200)\n"
           "  --delay-ms N        processing delay before each answer (default 2)\n"
           "  --no-pty            no pseudo-terminal\n"
           "  --port-dir DIR      with --com: link DIR/com<N> to the pseudo-terminal; DIR\n"
           "                      must exist (the panel reads it with --port-dir or\n"
           "                      VELMORA_PORT_DIR)\n"
           "  --com N             COM number of that link (1-255); needs --port-dir\n"
           "  --no-tcp            no TCP listener\n"
           "  --tcp-bind ADDR     IPv4 address to listen on (default 127.0.0.1)\n"
           "  --tcp-port N        TCP port (default 8000, 0 = any free port)\n"
           "  --udp               answer the search probe and the network configuration,\n"
           "                      broadcast on any interface; a panel on this machine\n"
           "                      keeps its own ports\n"
           "  --udp-bind ADDR     also answer those sent to ADDR, an address of this\n"
           "                      switcher's own (not 0.0.0.0)\n"
           "  --no-udp-broadcast  answer only those sent to the --udp-bind address\n"
           "  --search-port N     search port (default 30600, 0 = any free port)\n"
           "  --config-port N     configuration port (default 30601, 0 = any free port)\n"
           "\n"
           "Faults (0 = off):\n"
           "  --drop-every N      do not send every N-th answer\n"
           "  --drop-class C      never send answers of class byte C (e.g. 0x22)\n"
           "  --delay-every N     hold every N-th answer back longer ...\n"
           "  --delay-extra-ms N  ... by N ms on top of --delay-ms\n"
           "  --corrupt-every N   send every N-th answer with a wrong checksum\n"
           "  --noise-bytes N     send N noise bytes before every answer\n"
           "  --hang-up-after N   hang the serial line up after N answers (the pty closes)\n"
           "  --close-tcp-after N\n"
           "                      close each TCP connection after N answers on it\n"
           "  --split-tcp         write every TCP answer in two pieces\n"
           "  --coalesce-tcp      write TCP answers two at a time in one write (a lone\n"
           "                      answer goes out by itself after 300 ms)\n"
           "  --drop-mixer-over-volume  leave a mixer audio volume above the audio\n"
           "                      volume unanswered (by default it is clamped and echoed)\n"
           "\n"
           "  -h, --help          this text\n"
           "  -v, --version       the version\n"
           "\n"
           "Answers: every command is answered with one 18-byte frame repeating its class\n"
           "and command; the 13-byte factory reset and the TCP greeting (01 0B) are not\n"
           "answered; frames with a wrong checksum or a value out of range are ignored.\n";
}

std::string VersionText() { return std::string("velmora-sim ") + VELMORA_VERSION + "\n"; }

CliResult ParseCommandLine(const std::vector<std::string>& args)
{
    CliResult result;
    SimOptions& o = result.options;
    for (std::size_t i = 0; i < args.size() && result.error.empty(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                result.error = arg + " needs a value";
                return std::nullopt;
            }
            return args[++i];
        };
        if (arg == "-h" || arg == "--help") {
            result.help = true;
        } else if (arg == "-v" || arg == "--version") {
            result.version = true;
        } else if (const FlagOption* flag = Find(kFlagOptions, arg)) {
            o.*flag->field = flag->value;
        } else if (const TextOption* text = Find(kTextOptions, arg)) {
            if (auto v = value()) {
                o.*text->field = *v;
            }
        } else if (const NumberOption* number = Find(kNumberOptions, arg)) {
            if (auto v = value()) {
                if (auto parsed = ParseNumber(*v, number->low, number->high)) {
                    number->apply(o, *parsed);
                } else {
                    result.error = arg + ": expected a number from " + std::to_string(number->low) + " to " +
                                   std::to_string(number->high);
                }
            }
        } else {
            result.error = (arg.rfind('-', 0) == 0 ? "unknown option " : "unexpected argument ") + arg;
        }
    }
    if (result.error.empty()) {
        result.error = Inconsistency(o);
    }
    return result;
}

}  // namespace velmora::sim

#include "options.h"

#include "cli_error.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <map>

namespace velmora::cli {

namespace {

constexpr double kMaxTimeoutSeconds = 3600;

const std::map<std::string, std::string>& CommandHelps()
{
    static const std::map<std::string, std::string> helps{
        {"ports", "Usage: velmoractl ports [--json]\n"
                  "Lists the serial ports: COM number, device, /dev/serial/by-id name, maker and\n"
                  "serial number where the system knows them, and whether another program holds\n"
                  "the port (and which). The port map directory (--port-dir or VELMORA_PORT_DIR)\n"
                  "adds its com<N> links.\n"},
        {"search", "Usage: velmoractl search [--timeout SECONDS] [--json]\n"
                   "Broadcasts the search probe on every network interface and lists the switchers\n"
                   "that answer within the time-out (default 2 s): address and hardware address.\n"},
        {"configure", "Usage: velmoractl configure MAC (--dhcp | --ip ADDRESS) [--timeout SECONDS] [--json]\n"
                      "Sends the network configuration to the switcher with hardware address MAC\n"
                      "(twelve hex digits, separators allowed) and waits for its answer (default\n"
                      "15 s). --dhcp lets it take an address by DHCP; --ip gives it ADDRESS with mask\n"
                      "255.255.255.0 and gateway x.y.z.1.\n"},
        {"status", "Usage: velmoractl status [general|video|audio|advanced|network|all] (--port P | --host H)\n"
                   "Reads a page's settings with the page's own queries (the Network page's in its\n"
                   "read chain) and prints every value by name; 'all' reads every page. Default:\n"
                   "general.\n"},
        {"set", "Usage: velmoractl set NAME VALUE [NAME VALUE ...] (--port P | --host H)\n"
                "Writes settings one after the other, each range-checked before anything is sent,\n"
                "and prints each value as the switcher confirms it. Values are named as the\n"
                "panel shows them; case, tabs and blanks do not matter:\n"
                "  input          HDMI 1, HDMI 2, HDMI 3, DP, VGA\n"
                "  audio          Emb, Ext 1 .. Ext 5 (of the current input; VGA has no Emb)\n"
                "  auto-switch    OFF, Last Connected Mode, First Connected Mode, Priority Mode\n"
                "  resolution     3840x2160@30 .. 1024x768@60, AUTO\n"
                "  aspect-ratio   4:3, 16:9, 16:10\n"
                "  edid           EDID 1.4, EDID 2.0, EDID From HDMI, EDID HDBT, EDID AUTO\n"
                "  hdcp           HDCP 1.4, Pass Through\n"
                "  contrast, brightness 0-100; color 0-60; sharpness, h-size, v-size 0-20\n"
                "  h-position, v-position, clock, phase  0-100, stepped there one by one\n"
                "  mute, mic-mute on|off; volume, mic-volume 0-32\n"
                "  mixer          ON, OFF, AUTO\n"
                "  mixer-volume   0 up to the current volume\n"
                "  fade-in, fade-out  0-5000 (milliseconds)\n"
                "  dhcp on|off; ip, subnet, gateway A.B.C.D; mac 12 hex digits; tcp-port 1-65535\n"
                "                 (an address or hardware address ends with DHCP off, as the\n"
                "                 panel's Set buttons do)\n"
                "  beep, power    on|off\n"
                "  serial-baud    4800 .. 115200 (later commands then want --baud at that speed)\n"
                "  sleep-timer    OFF, 15 seconds, 1 minute, 5 minutes, 15 minutes, 60 minutes\n"
                "  osd-timeout    5 seconds .. 30 seconds\n"},
        {"raw", "Usage: velmoractl raw HEX... (--port P | --host H)\n"
                "Sends one frame and prints the first answer with its meaning. HEX is the class\n"
                "and command byte and up to twelve parameter bytes, or a whole frame starting\n"
                "50 56 54; blanks between the bytes are optional. The checksum is added.\n"},
    };
    return helps;
}

double ParseSeconds(const std::string& text)
{
    double seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || !std::isfinite(seconds) ||
        seconds <= 0 || seconds > kMaxTimeoutSeconds) {
        throw CliError(kExitUsage, "--timeout wants seconds above 0, not '" + text + "'");
    }
    return seconds;
}

unsigned ParseBaud(const std::string& text)
{
    unsigned baud = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), baud);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || baud == 0) {
        throw CliError(kExitUsage, "--baud wants a speed, not '" + text + "'");
    }
    return baud;
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& args)
{
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) {
                throw CliError(kExitUsage, arg + " wants a value");
            }
            return args[++i];
        };
        if (arg == "--port") {
            options.port = value();
        } else if (arg == "--port-dir") {
            options.portDir = value();
        } else if (arg == "--baud") {
            options.baud = ParseBaud(value());
        } else if (arg == "--host") {
            options.host = value();
        } else if (arg == "--timeout") {
            options.timeoutMs = static_cast<int>(std::lround(ParseSeconds(value()) * 1000));
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--dhcp") {
            options.dhcp = true;
        } else if (arg == "--ip") {
            options.ip = value();
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "-v" || arg == "--version") {
            options.version = true;
        } else if (arg.size() > 1 && arg[0] == '-' && !std::isdigit(static_cast<unsigned char>(arg[1]))) {
            throw CliError(kExitUsage, "unknown option " + arg);
        } else if (options.command.empty()) {
            options.command = arg;
        } else {
            options.words.push_back(arg);
        }
    }
    return options;
}

std::string ProgramHelp()
{
    return "Usage: velmoractl [options] COMMAND [words]\n"
           "Reads and sets every setting of a Velmora five-input presentation switcher over\n"
           "a serial port or TCP, finds switchers on the network and configures their\n"
           "network module, as the control panel does, from a script.\n"
           "\n"
           "Commands:\n"
           "  ports                     the serial ports, and who holds them\n"
           "  search                    the switchers answering on the network\n"
           "  configure MAC (--dhcp | --ip ADDRESS)\n"
           "                            set a switcher's network module by its hardware address\n"
           "  status [PAGE|all]         every value of a page by name (default general)\n"
           "  set NAME VALUE ...        write settings, range-checked first\n"
           "  raw HEX...                send one frame, print the answer\n"
           "  help COMMAND              a command's own help (also COMMAND --help)\n"
           "\n"
           "Options:\n"
           "  --port PORT         the switcher's serial port: COM<n> (the panel's numbering\n"
           "                      and port map directory) or a device path such as\n"
           "                      /dev/serial/by-id/...\n"
           "  --baud N            serial speed (default 115200); the line is 8N2, DTR and RTS on\n"
           "  --port-dir DIR      the port map directory of com<N> links (default:\n"
           "                      VELMORA_PORT_DIR)\n"
           "  --host ADDRESS[:PORT]\n"
           "                      the switcher's network module (TCP port 8000 by default)\n"
           "  --timeout SECONDS   wait for an answer (default 2; one retry follows), for\n"
           "                      search answers (default 2) or a configuration answer\n"
           "                      (default 15)\n"
           "  --json              print one JSON object (errors too: error and exit)\n"
           "  -h, --help          this text\n"
           "  -v, --version       the version\n"
           "\n"
           "One command is in flight at a time. A command whose answer does not come\n"
           "within the time-out is sent once more; no answer then ends the program with\n"
           "exit status 3.\n"
           "\n"
           "Exit status:\n"
           "  0  done\n"
           "  1  failed: the line broke, or the switcher refused a configuration\n"
           "  2  usage: unknown command, setting or option\n"
           "  3  no answer within the time-out, after one retry\n"
           "  4  the port does not exist, or the host refused or cannot be reached\n"
           "  5  the port is busy: another program holds it\n"
           "  6  a value out of range or unknown, refused before anything was sent\n";
}

std::string CommandHelp(const std::string& command)
{
    const auto& helps = CommandHelps();
    const auto found = helps.find(command);
    return found == helps.end() ? std::string() : found->second;
}

}  // namespace velmora::cli

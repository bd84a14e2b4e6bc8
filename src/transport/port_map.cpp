#include "transport/port_map.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace velmora::transport {

namespace {

struct Family {
    std::string_view prefix;
    int firstNumber;
};

constexpr Family kFamilies[] = {{"ttyS", 1}, {"ttyUSB", 33}, {"ttyACM", 65}};
constexpr int kPerFamily = 32;

std::string& DirectoryStorage()
{
    static std::string directory = [] {
        const char* env = std::getenv(kPortDirEnv);
        return std::string(env ? env : "");
    }();
    return directory;
}

std::optional<int> ParseNumber(std::string_view digits)
{
    int value = 0;
    if (digits.empty() || digits.size() > 3) {
        return std::nullopt;
    }
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

void PortMap::SetDirectory(std::string directory) { DirectoryStorage() = std::move(directory); }

const std::string& PortMap::Directory() { return DirectoryStorage(); }

std::vector<MappedPort> PortMap::Links()
{
    std::error_code ec;
    return Links(Directory(), ec);
}

std::vector<MappedPort> PortMap::Links(const std::string& directory, std::error_code& ec)
{
    ec.clear();
    std::vector<MappedPort> links;
    if (directory.empty()) {
        return links;
    }
    std::filesystem::directory_iterator it(directory, ec);
    if (ec) {
        if (ec == std::errc::no_such_file_or_directory) {
            ec.clear();
        }
        return links;
    }
    for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind("com", 0) != 0) {
            continue;
        }
        const auto number = ParseNumber(std::string_view(name).substr(3));
        if (!number || *number < 1 || *number > kMaxPortNumber) {
            continue;
        }
        links.push_back({*number, it->path().string()});
    }
    std::sort(links.begin(), links.end(), [](const MappedPort& a, const MappedPort& b) {
        return a.number != b.number ? a.number < b.number : a.device < b.device;
    });
    return links;
}

std::optional<int> PortNumberForTty(std::string_view ttyName)
{
    for (const auto& family : kFamilies) {
        if (ttyName.substr(0, family.prefix.size()) != family.prefix) {
            continue;
        }
        const auto index = ParseNumber(ttyName.substr(family.prefix.size()));
        if (index && *index < kPerFamily) {
            return family.firstNumber + *index;
        }
    }
    return std::nullopt;
}

std::optional<std::string> TtyForPortNumber(int number)
{
    for (const auto& family : kFamilies) {
        if (number >= family.firstNumber && number < family.firstNumber + kPerFamily) {
            return std::string(family.prefix) + std::to_string(number - family.firstNumber);
        }
    }
    return std::nullopt;
}

std::optional<std::string> DevicePathForPort(int number)
{
    for (const auto& link : PortMap::Links()) {
        if (link.number == number) {
            return link.device;
        }
    }
    if (const auto tty = TtyForPortNumber(number)) {
        return "/dev/" + *tty;
    }
    return std::nullopt;
}

}  // namespace velmora::transport

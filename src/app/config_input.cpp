#include "app/config_input.h"

#include "app/switcher_search.h"

#include <QRegularExpression>

namespace velmora::app {

namespace {

constexpr int kLoopbackNet = 127;
constexpr int kLastUnicastNet = 223;  // above: multicast and reserved

const char kAddressIncomplete[] = "Enter all four fields of the new IP address.";
const char kAddressUnusable[] = "%1 is not an address a switcher can take: "
                                "use 1 to 223 (not 127) for the first field and 1 to 254 for the last.";
const char kMacMalformed[] = "The new MAC must be six pairs of hexadecimal digits, such as 00:1A:2B:3C:4D:5E, "
                             "or empty to keep the switcher's own.";
const char kMacNotUnicast[] = "%1 cannot be a switcher's MAC: it must not be all zero nor a group address "
                              "(odd first byte).";

bool UsableStaticAddress(const std::array<std::uint8_t, 4>& ip)
{
    return ip[0] >= 1 && ip[0] <= kLastUnicastNet && ip[0] != kLoopbackNet && ip[3] >= 1 && ip[3] <= 254;
}

}  // namespace

std::optional<protocol::MacAddress> ParseMacInput(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^[0-9A-Fa-f]{2}(?:([:-]?)[0-9A-Fa-f]{2})(?:\\1[0-9A-Fa-f]{2}){4}$"));
    const QString trimmed = text.trimmed();
    if (!pattern.match(trimmed).hasMatch()) {
        return std::nullopt;
    }
    QString digits = trimmed;
    digits.remove(QLatin1Char(':')).remove(QLatin1Char('-'));
    return MacFromText(digits);
}

ConfigCheck CheckConfigInput(const protocol::MacAddress& target, const ConfigInput& input)
{
    protocol::NetworkConfigRequest request;
    request.target = target;
    request.dhcp = input.dhcp;
    if (!input.dhcp) {
        if (!input.octets) {
            return {std::nullopt, QString::fromLatin1(kAddressIncomplete)};
        }
        if (!UsableStaticAddress(*input.octets)) {
            const auto& o = *input.octets;
            const QString text = QStringLiteral("%1.%2.%3.%4").arg(o[0]).arg(o[1]).arg(o[2]).arg(o[3]);
            return {std::nullopt, QString::fromLatin1(kAddressUnusable).arg(text)};
        }
        request.ip = *input.octets;
    }
    if (!input.mac.trimmed().isEmpty()) {
        const auto mac = ParseMacInput(input.mac);
        if (!mac) {
            return {std::nullopt, QString::fromLatin1(kMacMalformed)};
        }
        if (!protocol::AssignableMac(*mac)) {
            return {std::nullopt, QString::fromLatin1(kMacNotUnicast).arg(input.mac.trimmed())};
        }
        request.newMac = *mac;
    }
    return {request, QString()};
}

}  // namespace velmora::app

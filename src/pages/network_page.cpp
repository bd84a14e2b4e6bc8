#include "pages/network_page.h"

#include "appdefs/page_codes.h"
#include "platform/ip_address_edit.h"
#include "platform/system_message.h"
#include "protocol/decimal_text.h"
#include "protocol/hex_text.h"
#include "protocol/mac_address.h"
#include "protocol/network_commands.h"
#include "res/network_ids.h"
#include "res/templates.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace velmora::pages {

namespace c = ctl::network;
namespace p = protocol;

namespace {

const QString kLineEnd = QStringLiteral("\r\n");
constexpr char kDhcpOnLine[] = "DHCP: ON";
constexpr char kDhcpOffLine[] = "DHCP:OFF";
constexpr char kMacLine[] = "Mac: %02x-%02x-%02x-%02x-%02x-%02x";
constexpr char kMacBoxText[] = "%02x";
constexpr char kPortLine[] = "Port: ";

std::u16string_view View(const QString& text)
{
    return {QStringView(text).utf16(), static_cast<std::size_t>(text.size())};
}

QString Dotted(p::ReplyFrame frame, std::size_t first)
{
    return QString::asprintf("%d.%d.%d.%d", frame[first], frame[first + 1], frame[first + 2], frame[first + 3]);
}

void RefuseInput() { platform::ShowSystemMessage(QString::fromLatin1(platform::kInputValueError)); }

}  // namespace

// One address of the write chain: its command, its control, where the
// addresses reply carries it and how the log names it.
struct CNetwork::AddressStep {
    p::Command set;
    int control;
    std::size_t replyByte;
    const char* logLabel;
};

// In the order the write chain takes them; after the last comes DHCP off.
const CNetwork::AddressStep CNetwork::kAddressSteps[] = {
    {p::kSetIp, c::kIp, p::addresses_reply::kIp, "IP: "},
    {p::kSetSubnet, c::kSubnet, p::addresses_reply::kSubnet, "Subnet: "},
    {p::kSetGateway, c::kGateway, p::addresses_reply::kGateway, "Gate: "},
};

const ReplyRoute<CNetwork> CNetwork::kReplies[] = {
    {p::kReadDhcp, &CNetwork::OnDhcpState},
    {p::kReadAddresses, &CNetwork::OnAddresses, p::kReadMac},
    {p::kReadMac, &CNetwork::OnMac, p::kReadPort},
    {p::kReadPort, &CNetwork::OnPort},
    {p::kSetMac, &CNetwork::OnWritten},
    {p::kSetIp, &CNetwork::OnWritten},
    {p::kSetSubnet, &CNetwork::OnWritten},
    {p::kSetGateway, &CNetwork::OnWritten},
};

CNetwork::CNetwork(PageHost& host, QWidget* parent) : PageWindow(page::kNetwork, res::NetworkTemplate(), host, parent)
{}

void CNetwork::HandleReply(protocol::ReplyFrame frame) { Route(kReplies, frame); }

void CNetwork::OnCommand(int id, platform::Notify code, int)
{
    if (code != platform::Notify::Clicked) {
        return;
    }
    switch (id) {
    case c::kStatus:
        Send(p::kReadDhcp);
        break;
    case c::kSetIp:
        OnSetIp();
        break;
    case c::kSetSubnet:
        PostAddress(kAddressSteps[1]);
        break;
    case c::kSetGateway:
        PostAddress(kAddressSteps[2]);
        break;
    case c::kSetMac:
        PostMac();
        break;
    case c::kSetPort:
        PostPort();
        break;
    case c::kDhcp:
        EnableStaticFields(!Checked(c::kDhcp));
        break;
    default:
        break;
    }
}

void CNetwork::EnableStaticFields(bool on)
{
    for (const int id : {c::kIp, c::kSubnet, c::kGateway, c::kSetSubnet, c::kSetGateway}) {
        Control(id)->setEnabled(on);
    }
}

// With DHCP checked the button switches DHCP on, and nothing follows;
// otherwise it starts the write chain at the IP address.
void CNetwork::OnSetIp()
{
    if (Checked(c::kDhcp)) {
        PostDhcp(true);
    } else {
        PostAddress(kAddressSteps[0]);
    }
}

void CNetwork::OnDhcpState(protocol::ReplyFrame frame)
{
    const std::uint8_t state = frame[p::kDhcpByte];
    if (state != p::kDhcp.statusOn && state != p::kDhcp.statusOff) {
        return;  // the chain stops
    }
    const bool on = p::kDhcp.StatusIsOn(state);
    ControlAs<QAbstractButton>(c::kDhcp)->setChecked(on);
    EnableStaticFields(!on);
    Send(p::kReadAddresses);
    RestartLog(QString::fromLatin1(on ? kDhcpOnLine : kDhcpOffLine) + kLineEnd);
}

void CNetwork::OnAddresses(protocol::ReplyFrame frame)
{
    QString block;
    for (const auto& step : kAddressSteps) {
        std::array<std::uint8_t, p::kAddressSize> octets{};
        std::copy_n(frame.begin() + static_cast<std::ptrdiff_t>(step.replyByte), octets.size(), octets.begin());
        ControlAs<platform::IpAddressEdit>(step.control)->SetOctets(octets);
        block += QString::fromLatin1(step.logLabel) + Dotted(frame, step.replyByte) + kLineEnd;
    }
    AppendLog(block);
}

void CNetwork::OnMac(protocol::ReplyFrame frame)
{
    for (std::size_t i = 0; i < c::kMacBoxes.size(); ++i) {
        ControlAs<QLineEdit>(c::kMacBoxes[i])->setText(QString::asprintf(kMacBoxText, frame[p::kMacByte + i]));
    }
    const auto* mac = frame.data() + p::kMacByte;
    AppendLog(QString::asprintf(kMacLine, mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]) + kLineEnd);
}

void CNetwork::OnPort(protocol::ReplyFrame frame)
{
    const QString port = QString::number(p::Word(frame[p::kPortHighByte], frame[p::kPortLowByte]));
    ControlAs<QLineEdit>(c::kPort)->setText(port);
    AppendLog(QString::fromLatin1(kPortLine) + port + kLineEnd);
}

// The write chain: the MAC leads to the IP address, each address to the
// next, and the gateway to DHCP off, where the chain ends.
void CNetwork::OnWritten(protocol::ReplyFrame frame)
{
    const p::Command written = p::CommandOf(frame);
    if (written == p::kSetMac) {
        PostAddress(kAddressSteps[0]);
        return;
    }
    const auto steps = std::size(kAddressSteps);
    for (std::size_t i = 0; i < steps; ++i) {
        if (kAddressSteps[i].set == written) {
            i + 1 < steps ? PostAddress(kAddressSteps[i + 1]) : PostDhcp(false);
            return;
        }
    }
}

void CNetwork::PostAddress(const AddressStep& step)
{
    const auto fields = ControlAs<platform::IpAddressEdit>(step.control)->Fields();
    p::CommandFrame& frame = Begin(step.set);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        frame.Set(p::kAddressByte + i, fields[i]);
    }
    PostSend();
}

void CNetwork::PostDhcp(bool on) { Send(p::kDhcp.set, {{p::kValueByte, p::kDhcp.CommandByte(on)}}); }

// Each box must give a hexadecimal pair, and the address must be one a unit
// can take; otherwise nothing is sent.
void CNetwork::PostMac()
{
    p::MacAddress mac{};
    for (std::size_t i = 0; i < mac.size(); ++i) {
        const auto byte = p::ReadHexByte(View(ControlAs<QLineEdit>(c::kMacBoxes[i])->text()));
        if (!byte) {
            RefuseInput();
            return;
        }
        mac[i] = *byte;
    }
    if (!p::AssignableMac(mac)) {
        RefuseInput();
        return;
    }
    p::CommandFrame& frame = Begin(p::kSetMac);
    for (std::size_t i = 0; i < mac.size(); ++i) {
        frame.Set(p::kMacByte + i, mac[i]);
    }
    PostSend();
}

// A port outside 1 to 65535 would move or switch off the switcher's TCP
// control: refused. The frame goes out twice.
void CNetwork::PostPort()
{
    const int port = p::ReadDecimal(View(ControlAs<QLineEdit>(c::kPort)->text()));
    if (port < p::kTcpPortMin || port > p::kTcpPortMax) {
        RefuseInput();
        return;
    }
    p::CommandFrame& frame = Begin(p::kSetPort);
    frame.Set(p::kPortHighByte, p::HighByte(static_cast<std::uint16_t>(port)));
    frame.Set(p::kPortLowByte, p::LowByte(static_cast<std::uint16_t>(port)));
    PostSend();
    PostSend();
}

bool CNetwork::Checked(int id) const { return ControlAs<QAbstractButton>(id)->isChecked(); }

QPlainTextEdit* CNetwork::Log() const { return ControlAs<QPlainTextEdit>(c::kLog); }

void CNetwork::RestartLog(const QString& text)
{
    QPlainTextEdit* log = Log();
    log->selectAll();
    log->ensureCursorVisible();
    log->insertPlainText(text);
    log->ensureCursorVisible();
}

void CNetwork::AppendLog(const QString& text)
{
    QPlainTextEdit* log = Log();
    log->insertPlainText(text);
    log->ensureCursorVisible();
}

}  // namespace velmora::pages

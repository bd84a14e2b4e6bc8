#pragma once
// The Network page: the switcher's network module (DHCP, static IP address,
// subnet mask and gateway, MAC address and TCP port) with a log of what the
// switcher last reported. Reads and writes run as chains in which each reply
// leads to the next request. The page's requests take no token and call no
// connection check.

#include "pages/page_window.h"

class QPlainTextEdit;

namespace velmora::pages {

class CNetwork : public PageWindow {
    Q_OBJECT
public:
    CNetwork(PageHost& host, QWidget* parent);

    void HandleReply(protocol::ReplyFrame frame) override;
    void OnCommand(int id, platform::Notify code, int value) override;

    // Enables or disables the three address controls and the Set buttons of
    // the subnet mask and the gateway.
    void EnableStaticFields(bool on);

private:
    struct AddressStep;
    static const AddressStep kAddressSteps[];

    void OnSetIp();
    void OnDhcpState(protocol::ReplyFrame frame);
    void OnAddresses(protocol::ReplyFrame frame);
    void OnMac(protocol::ReplyFrame frame);
    void OnPort(protocol::ReplyFrame frame);
    void OnWritten(protocol::ReplyFrame frame);

    void PostAddress(const AddressStep& step);
    void PostDhcp(bool on);
    void PostMac();
    void PostPort();
    bool Checked(int id) const;

    // The status log: a restart replaces all of it, an append replaces the
    // selection, which after a write stands at the end.
    void RestartLog(const QString& text);
    void AppendLog(const QString& text);
    QPlainTextEdit* Log() const;

    static const ReplyRoute<CNetwork> kReplies[];
};

}  // namespace velmora::pages

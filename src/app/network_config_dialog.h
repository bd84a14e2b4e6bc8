#pragma once
// Config...: the operator chooses DHCP or a static address, and optionally a
// new hardware address, for the switcher selected in the Switcher IP list.
// Nothing is sent from here; the dialog hands back a checked request.

#include "app/config_input.h"
#include "pages/message_box.h"

#include <functional>

namespace velmora::app {

inline constexpr char kConfigCaption[] = "Network Configuration";
inline constexpr char kSearchFirst[] = "Search for the switcher first: Config... addresses a switcher that "
                                       "answered the search, by its hardware address.";

class CNetworkConfigDlg : public pages::ModalPopup {
    Q_OBJECT
public:
    // complain shows why the input was refused (the platform's plain box).
    CNetworkConfigDlg(const QString& address, const protocol::MacAddress& target,
                      std::function<void(const QString&)> complain, QWidget* parent = nullptr);

    void OnCommand(int id, platform::Notify code, int value) override;
    // After RunModal returned 1: what to send.
    const protocol::NetworkConfigRequest& Request() const { return request_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    ConfigInput Input() const;
    void EnableStaticFields();
    void OnSend();

    protocol::MacAddress target_;
    std::function<void(const QString&)> complain_;
    protocol::NetworkConfigRequest request_;
};

}  // namespace velmora::app

#pragma once
// Connection control: the control mode, serial Connect and Disconnect, the
// reaction to a failed port, the check every command passes, and the
// factory reset sent from the main window.

#include "pages/message_box.h"
#include "pages/progress_popup.h"
#include "protocol/baud_rates.h"
#include "protocol/link_token.h"
#include "protocol/send_path.h"
#include "transport/serial_connection.h"
#include "transport/tcp_client.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace velmora::platform {
class Window;
}

namespace velmora::app {

using pages::kConnectFailed;
using pages::kOpenComFailed;
using pages::kTimeOut;

inline constexpr int kComControl = 2;
inline constexpr int kTcpControl = 3;

inline constexpr char kCreatingSocketFailed[] = "creating socket failed!";
inline constexpr char kConnectText[] = "Connect";
inline constexpr char kDisconnectText[] = "Disconnect";

// The panel's message box, question and wait popup, as connection control,
// the search and the configuration use them.
struct ConnectionHooks {
    std::function<void(const QString&)> showMessage;
    // Asks the factory reset question unless the operator asked not to be
    // reminded; true when the reset may go out.
    std::function<bool()> confirmFactoryReset;
    std::function<void(const QString&)> showStatus;  // modal until closed
    std::function<void()> closeStatus;
    // Sets the popup's text; a showing popup stops its dots and shows the check mark.
    std::function<void(const QString&)> finishStatus;
    std::function<void()> comOpened;  // the port is open, before the first command goes out
};

class ConnectionControl {
public:
    ConnectionControl(platform::Window& window, transport::SerialConnection& serial, transport::TcpClient& tcp,
                      protocol::SendPath& send, protocol::LinkToken& token, ConnectionHooks hooks);

    // Start: COM control with 115200 baud.
    void Start();
    bool OnCommand(int id);
    void OnSerialFailed(std::uintptr_t wParam);
    bool OnTimer(int id);

    bool CheckConnection();
    // The control mode: the one source of a frame's route, read off the
    // COM control radio whenever anything asks.
    int Mode() const;
    bool ComMode() const { return Mode() == kComControl; }
    // The link of the control mode is open; shows nothing, takes nothing.
    bool LinkOpen() const;
    bool ComOpen() const { return serial_.IsOpen(); }
    std::uint8_t PortNumber() const { return serial_.PortNumber(); }
    unsigned Baud() const { return baud_; }

private:
    void ApplyConnectionMode();
    void OnComConnect();
    void Disconnect();
    void OnFactoryReset();
    void SetEnabled(std::initializer_list<int> ids, bool enabled);
    void SetText(int id, const char* text);

    platform::Window& window_;
    transport::SerialConnection& serial_;
    transport::TcpClient& tcp_;
    protocol::SendPath& send_;
    protocol::LinkToken& token_;
    ConnectionHooks hooks_;
    unsigned baud_ = protocol::kBaudRates[protocol::kDefaultBaudIndex];
};

}  // namespace velmora::app

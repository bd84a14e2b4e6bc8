#pragma once
// Connection control: the control mode, serial Connect and Disconnect, the
// reaction to a failed port, the check every command passes, and the
// factory reset sent from the main window.

#include "protocol/link_token.h"
#include "protocol/reply_assembly.h"
#include "protocol/send_path.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace velmora::platform {
class Window;
}

namespace velmora::transport {

class CSerialPort;

inline constexpr int kComControl = 2;
inline constexpr int kTcpControl = 3;

inline constexpr char kOpenComFailed[] = "Open COM failed!";
inline constexpr char kConnectFailed[] = "Connect to Matrix failed!";
inline constexpr char kTimeOut[] = "Time out!";
inline constexpr char kResetStatus[] = "Setting";
inline constexpr char kConnectText[] = "Connect";
inline constexpr char kDisconnectText[] = "Disconnect";

// What connection control needs from the rest of the panel.
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
    std::function<bool()> tcpConnected;
    std::function<void()> closeTcp;  // ends the connection, button back to "Connect"
};

class ConnectionControl {
public:
    // `replies` assembles what the port receives; each new connection starts it afresh.
    ConnectionControl(platform::Window& window, CSerialPort& port, protocol::SerialReplyAssembler& replies,
                      protocol::SendPath& send, protocol::LinkToken& token, ConnectionHooks hooks);

    // Start: COM control with 115200 baud.
    void Start();
    bool OnCommand(int id);
    void OnSerialFailed(std::uintptr_t wParam);
    bool OnTimer(int id);

    bool CheckConnection();
    int Mode() const { return mode_; }
    bool ComOpen() const { return comOpen_; }
    std::uint8_t PortNumber() const { return portNumber_; }
    unsigned Baud() const { return baud_; }

private:
    void ApplyConnectionMode();
    void OnComConnect();
    void Disconnect();
    void OnFactoryReset();
    void SetEnabled(std::initializer_list<int> ids, bool enabled);
    void SetText(int id, const char* text);

    platform::Window& window_;
    CSerialPort& port_;
    protocol::SerialReplyAssembler& replies_;
    protocol::SendPath& send_;
    protocol::LinkToken& token_;
    ConnectionHooks hooks_;
    int mode_ = kComControl;
    bool comOpen_ = false;
    std::uint8_t portNumber_ = 0;
    unsigned baud_ = 115200;
};

}  // namespace velmora::transport

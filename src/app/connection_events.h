#pragma once
// The connection's events in words for the traffic log: "COM5 opened at
// 115200", "COM5: busy, held by PID 4711 (minicom)", "10.0.0.5:8000
// refused", "connection closed by the switcher". The main window reports
// what it saw; with no observer nothing is phrased.

#include "protocol/traffic.h"

#include <cstdint>
#include <string>

namespace velmora::app {

class ConnectionEvents {
public:
    void SetObserver(protocol::TrafficObserver* observer) { observer_ = observer; }

    // The serial port opened, before anything is sent on it.
    void ComOpened(int portNumber, unsigned baud);
    // The serial Connect button was handled: open before and after.
    void ComConnect(bool wasOpen, bool isOpen, int portNumber);
    void SerialFailed(int portNumber);
    // The TCP Connect button, before it is handled: a connection starts or ends.
    void TcpConnect(bool wasConnected, const std::string& address);
    // A control socket event was handled: connected before and after.
    void ControlSocket(std::uint16_t event, int error, bool wasConnected, bool isConnected);

private:
    void Tell(const std::string& text);

    protocol::TrafficObserver* observer_ = nullptr;
    std::string peer_;  // address:port of the TCP connection
};

// Why COM n did not open: no such port, busy and by whom, or not allowed.
std::string ComOpenFailure(int portNumber);

}  // namespace velmora::app

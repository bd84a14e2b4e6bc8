#include "app/connection_events.h"

#include "protocol/network_commands.h"
#include "transport/async_socket.h"
#include "transport/port_holder_name.h"
#include "transport/port_holders.h"
#include "transport/port_map.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace velmora::app {

namespace {

std::string ComName(int portNumber) { return "COM" + std::to_string(portNumber); }

}  // namespace

std::string ComOpenFailure(int portNumber)
{
    const std::string port = ComName(portNumber);
    const auto device = transport::DevicePathForPort(portNumber);
    struct stat st {};
    if (!device || ::stat(device->c_str(), &st) != 0) {
        return port + ": no such port";
    }
    if (const auto holder = transport::FindHolder(*device)) {
        return port + ": busy, " + transport::HolderText(holder);
    }
    if (!transport::MayReadWrite(*device)) {
        return port + ": not allowed to open " + *device;
    }
    return port + ": cannot open " + *device;
}

void ConnectionEvents::ComOpened(int portNumber, unsigned baud)
{
    Tell(ComName(portNumber) + " opened at " + std::to_string(baud));
}

void ConnectionEvents::ComConnect(bool wasOpen, bool isOpen, int portNumber)
{
    if (!observer_ || (isOpen && !wasOpen)) {
        return;  // an opened port is told as it opens
    }
    Tell(wasOpen ? ComName(portNumber) + " closed" : ComOpenFailure(portNumber));
}

void ConnectionEvents::SerialFailed(int portNumber) { Tell(ComName(portNumber) + ": the port failed and was closed"); }

void ConnectionEvents::TcpConnect(bool wasConnected, const std::string& address)
{
    if (wasConnected) {
        Tell(peer_ + " closed");
        return;
    }
    peer_ = address + ":" + std::to_string(protocol::kSwitcherTcpPort);
    Tell("connecting to " + peer_);
}

void ConnectionEvents::ControlSocket(std::uint16_t event, int error, bool wasConnected, bool isConnected)
{
    if (event == msg::kSocketConnect && !wasConnected) {
        if (isConnected) {
            Tell(peer_ + " connected");
        } else {
            Tell(peer_ + (error == ECONNREFUSED ? std::string(" refused") : ": " + std::string(std::strerror(error))));
        }
    } else if (event == msg::kSocketClose && wasConnected) {
        Tell("connection closed by the switcher");
    }
}

void ConnectionEvents::Tell(const std::string& text)
{
    if (observer_) {
        observer_->ConnectionEvent(text);
    }
}

}  // namespace velmora::app

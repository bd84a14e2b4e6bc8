#pragma once
// The panel in TCP control on the offscreen platform, talking over loopback
// to the switcher's port on an address of its own in 127.0.0.0/8, so that
// tests running side by side never meet: either the simulated switcher or a
// scripted server that writes exactly the bytes a test wants.

#include "app/main_window.h"
#include "gui_helpers.h"
#include "pages/message_box.h"
#include "platform/combo_box.h"
#include "protocol/network_commands.h"
#include "res/main_ids.h"
#include "sim/simulator.h"

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace velmora::test {

namespace c = ctl::main;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

inline constexpr int kAddressTries = 32;

// A random address in 127.0.0.0/8 (never 127.0.0.1, which other programs use).
inline std::string RandomLoopbackAddress()
{
    static std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<int> octet(2, 254);
    return "127." + std::to_string(octet(random)) + "." + std::to_string(octet(random)) + "." +
           std::to_string(octet(random));
}

// The simulated switcher on the switcher's port at a loopback address of its
// own, which `address` receives; null when no address was free.
inline std::unique_ptr<sim::Simulator> StartOnOwnLoopback(sim::SimOptions options, QString& address)
{
    options.tcpPort = protocol::kSwitcherTcpPort;
    for (int i = 0; i < kAddressTries; ++i) {
        options.tcpBind = RandomLoopbackAddress();
        auto candidate = std::make_unique<sim::Simulator>(options);
        if (candidate->Start()) {
            address = QString::fromStdString(options.tcpBind);
            return candidate;
        }
    }
    return nullptr;
}

// A listener on <loopback address>:8000 that accepts one connection and then
// writes what the test tells it.
class ScriptedServer {
public:
    ScriptedServer()
    {
        for (int i = 0; i < kAddressTries && listener_ < 0; ++i) {
            address_ = RandomLoopbackAddress();
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_in where{};
            where.sin_family = AF_INET;
            where.sin_port = htons(protocol::kSwitcherTcpPort);
            ::inet_pton(AF_INET, address_.c_str(), &where.sin_addr);
            if (::bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) == 0 && ::listen(fd, 2) == 0) {
                listener_ = fd;
            } else {
                ::close(fd);
            }
        }
    }
    ~ScriptedServer()
    {
        for (int fd : {peer_, listener_}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    bool Ok() const { return listener_ >= 0; }
    QString Address() const { return QString::fromStdString(address_); }

    // Takes the panel's connection, pumping the panel's events meanwhile.
    bool Accept()
    {
        return PumpUntil([&] {
            pollfd pfd{listener_, POLLIN, 0};
            if (::poll(&pfd, 1, 0) == 1) {
                peer_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            }
            return peer_ >= 0;
        });
    }
    // Every byte the panel sent since the connection was accepted, in order,
    // once at least `count` have come (pumping the panel's events meanwhile).
    Bytes ReceivedOnceAtLeast(std::size_t count)
    {
        PumpUntil([&] {
            std::uint8_t chunk[256];
            const ssize_t n = ::recv(peer_, chunk, sizeof chunk, MSG_DONTWAIT);
            if (n > 0) {
                received_.insert(received_.end(), chunk, chunk + n);
            }
            return received_.size() >= count;
        });
        return received_;
    }
    bool Write(const Bytes& bytes)
    {
        return ::send(peer_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }
    void ClosePeer()
    {
        ::close(peer_);
        peer_ = -1;
    }

private:
    int listener_ = -1;
    int peer_ = -1;
    std::string address_;
    Bytes received_;
};

class TcpPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        panel = std::make_unique<app::CVelmoraDlg>();
        panel->show();
        Button(c::kTcpMode)->click();
    }
    void TearDown() override
    {
        panel.reset();
        simulator.reset();
    }

    // The simulated switcher on a loopback address of its own.
    void StartSimulator(sim::SimOptions options = {})
    {
        options.pty = false;
        simulator = StartOnOwnLoopback(options, simAddress);
        ASSERT_TRUE(simulator) << "no loopback address was free";
    }

    platform::ComboBox* List(int id) { return panel->ControlAs<platform::ComboBox>(id); }
    QAbstractButton* Button(int id) { return panel->ControlAs<QAbstractButton>(id); }
    QString ConnectText() { return Button(c::kTcpConnect)->text(); }
    QString SendLog() { return panel->ControlAs<QPlainTextEdit>(c::kSendLog)->toPlainText(); }
    QString ReceiveLog() { return panel->ControlAs<QPlainTextEdit>(c::kReceiveLog)->toPlainText(); }

    // Types the address into the Switcher IP list and clicks Connect.
    void ClickConnect(const QString& address)
    {
        List(c::kSwitcherIp)->setEditText(address);
        Button(c::kTcpConnect)->click();
    }
    void ConnectTo(const QString& address)
    {
        ClickConnect(address);
        ASSERT_TRUE(PumpUntil([&] { return panel->Tcp().TcpConnected(); }, 3s));
    }

    std::unique_ptr<app::CVelmoraDlg> panel;
    std::unique_ptr<sim::Simulator> simulator;
    QString simAddress;
};

}  // namespace velmora::test

#pragma once
// The panel in TCP control inside the test's private network, with
// simulated switchers and scripted answerers on a LAN.

#include "config_steps.h"
#include "lan.h"
#include "line_fixture.h"

#include "pages/message_box.h"
#include "panel_logs.h"
#include "platform/combo_box.h"

#include <QPlainTextEdit>

#include <atomic>
#include <thread>

namespace velmora::test {

namespace c = ctl::main;
using namespace std::chrono_literals;

// A search answer of `size` bytes: hardware address, IPv4, marker.
inline Bytes SearchAnswer(std::size_t size, const Ipv4& ip, std::uint8_t macLast,
                          std::uint8_t markerLow = protocol::search::kMarkerLowValue)
{
    namespace s = protocol::search;
    Bytes answer(std::max(size, s::kMarkerLow + 1), 0);
    const Bytes head{0x02, 0x00, 0x5E, 0x10, 0x00, macLast};
    std::copy(head.begin(), head.end(), answer.begin() + s::kMac);
    std::copy(ip.begin(), ip.end(), answer.begin() + s::kIp);
    answer[s::kMarkerHigh] = s::kMarkerHighValue;
    answer[s::kMarkerLow] = markerLow;
    answer.resize(size);
    return answer;
}

// Answers each probe on a LAN with the datagrams the test chose.
class SearchResponder {
public:
    SearchResponder(Lan& lan, std::vector<Bytes> answers)
        : answers_(std::move(answers)), fd_(lan.Run([] {
              Fd fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
              const sockaddr_in any = Ipv4Address("0.0.0.0", protocol::search::kPort);
              if (::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) {
                  fd.Close();
              }
              return fd;
          }))
    {
        if (fd_.Ok()) {
            thread_ = std::thread([this] { Serve(); });
        }
    }
    ~SearchResponder()
    {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    bool Ok() const { return fd_.Ok(); }
    int Probes() const { return probes_; }

private:
    void Serve()
    {
        constexpr int kPollMs = 20;
        while (!stop_) {
            pollfd pfd{fd_.Get(), POLLIN, 0};
            std::uint8_t probe[64];
            sockaddr_in from{};
            socklen_t size = sizeof from;
            if (::poll(&pfd, 1, kPollMs) != 1 ||
                ::recvfrom(fd_.Get(), probe, sizeof probe, 0, reinterpret_cast<sockaddr*>(&from), &size) != 1 ||
                probe[0] != protocol::search::kProbe) {
                continue;
            }
            ++probes_;
            for (const Bytes& answer : answers_) {
                ::sendto(fd_.Get(), answer.data(), answer.size(), 0, reinterpret_cast<sockaddr*>(&from), size);
            }
        }
    }

    std::vector<Bytes> answers_;
    Fd fd_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> probes_{0};
};

class LanPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        VELMORA_NEEDS_PRIVATE_NETWORK();
        platform::TimerScheduler::Instance().UseManualClock(true);
        lan = std::make_unique<Lan>("10.0.0.1/24", std::vector<std::string>{"10.0.0.20/24", "10.0.0.3/24"});
        VELMORA_NEEDS_LAN(*lan);
        panel = std::make_unique<app::CVelmoraDlg>();
        panel->show();
        Button(c::kTcpMode)->click();
    }
    void TearDown() override
    {
        panel.reset();
        switchers.clear();
        responder.reset();
        otherLan.reset();
        lan.reset();
        platform::TimerScheduler::Instance().UseManualClock(false);
    }

    sim::Simulator* AddSwitcher(Lan& where, const Ipv4& ip, std::uint8_t macLast, bool listenTcp = true)
    {
        switchers.push_back(StartSwitcher(where, ip, macLast, listenTcp));
        return switchers.back().get();
    }
    SearchResponder& Respond(std::vector<Bytes> answers)
    {
        responder = std::make_unique<SearchResponder>(*lan, std::move(answers));
        EXPECT_TRUE(responder->Ok());
        return *responder;
    }

    platform::ComboBox* Addresses() { return panel->ControlAs<platform::ComboBox>(c::kSwitcherIp); }
    QAbstractButton* Button(int id) { return panel->ControlAs<QAbstractButton>(id); }
    QString ReceiveLog() { return LogText(*panel, c::kReceiveLog); }
    QStringList Listed()
    {
        QStringList entries;
        for (int i = 0; i < Addresses()->GetCount(); ++i) {
            entries << Addresses()->GetLBText(i);
        }
        return entries;
    }
    // Search, until the list has `count` entries.
    bool SearchLists(int count)
    {
        Button(c::kSearch)->click();
        return PumpUntil([&] { return Addresses()->GetCount() == count; }, 3s);
    }
    // The hardware address of each entry, in list order.
    std::vector<protocol::MacAddress> ListedMacs()
    {
        std::vector<protocol::MacAddress> macs;
        const int selected = Addresses()->GetCurSel();
        for (int i = 0; i < Addresses()->GetCount(); ++i) {
            Addresses()->SetCurSel(i);
            macs.push_back(panel->Search().SelectedMac().value_or(protocol::MacAddress{}));
        }
        Addresses()->SetCurSel(selected);
        return macs;
    }
    static void Advance(int ms) { platform::TimerScheduler::Instance().Advance(ms); }

    std::unique_ptr<Lan> lan;
    std::unique_ptr<Lan> otherLan;
    std::unique_ptr<app::CVelmoraDlg> panel;
    std::vector<std::unique_ptr<sim::Simulator>> switchers;
    std::unique_ptr<SearchResponder> responder;
};

}  // namespace velmora::test

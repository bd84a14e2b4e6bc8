#pragma once
// The main window: the skinned title band with its tab strip, the General
// page and the connection controls, the page windows below the band, and the
// protocol and transports behind them.

#include "app/connection_control.h"
#include "app/connection_events.h"
#include "app/drawing_hold.h"
#include "app/log_view.h"
#include "app/switcher_search.h"
#include "controls/button_st.h"
#include "pages/general_page.h"
#include "pages/page_windows.h"
#include "platform/window.h"
#include "protocol/reply_assembly.h"
#include "protocol/reply_dispatch.h"
#include "protocol/send_path.h"
#include "transport/device_search.h"
#include "transport/serial_connection.h"
#include "transport/tcp_client.h"

#include <QFont>

#include <memory>

namespace velmora::app {

class PortListRefresh;
class TabStrip;
class TrafficLogWindow;

inline constexpr char kTitleText[] = "  5x1 Presentation Switcher  V1.10.08              ";

class CVelmoraDlg : public platform::Window {
    Q_OBJECT
public:
    explicit CVelmoraDlg(QWidget* parent = nullptr);
    ~CVelmoraDlg() override;

    // A tab chosen by a press on its label, by the keyboard or by a screen
    // reader: nothing happens while a command waits for its answer.
    void ChooseTab(std::uint8_t page);
    void SelectPage(std::uint8_t page);
    std::uint8_t CurrentPage() const { return dispatcher_.CurrentPage(); }

    // For the widgets around the window and for tests.
    protocol::SendPath& Send() { return send_; }
    protocol::LinkToken& Token() { return token_; }
    protocol::ReplyDispatcher& Dispatcher() { return dispatcher_; }
    ConnectionControl& Connection() { return connection_; }
    transport::CSerialPort& SerialPort() { return serial_.Port(); }
    transport::TcpClient& Tcp() { return tcp_; }
    const protocol::SerialReplyAssembler& SerialReplies() const { return serial_.Replies(); }
    SwitcherSearch& Search() { return search_; }
    pages::GeneralPage& General() { return general_; }
    pages::PageWindows& Pages() { return pages_; }
    TabStrip& Tabs() { return *tabStrip_; }
    const QFont& TitleFont() const { return titleFont_; }
    int ReceiveLogFrames() const { return receiveLog_.Frames(); }
    // The traffic log window, made and shown on first use (menu entry, Ctrl+L).
    TrafficLogWindow& OpenTrafficLog();
    TrafficLogWindow* TrafficLog() const { return trafficLog_; }
    // True while drawing waits for the answer to a command written.
    bool DrawingHeld() const { return hold_.Holding(); }
    // True while text for the send or receive log waits to go in.
    bool LogTextWaiting() const { return sendView_.TextWaiting() || receiveView_.TextWaiting(); }
    // The send or receive log's whole text, what waits included, as anyone
    // who looks at the log finds it.
    QString LogText(int editId);

    void OnCommand(int id, platform::Notify code, int value) override;
    void OnTimer(int id) override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void InitControls();
    void HandleAnswer(std::span<const std::uint8_t, protocol::kFrameSize> frame);
    void InitMessages();
    void SetupTitleButtons();
    void ShowPageControls();
    void PlaceTitleControls();
    void ColourTabs();
    ConnectionHooks MakeConnectionHooks();
    void OnTcpConnect();
    void OnTcpConnectionChanged(bool connected);
    void OnConfig();
    void OnSysCommand(std::uintptr_t command);
    void ShowAbout();
    void WatchTraffic(bool watching);
    QSize TabSize() const;

    QFont titleFont_;
    TabStrip* tabStrip_ = nullptr;
    controls::CButtonST closeButton_;
    controls::CButtonST minimizeButton_;
    EditLogView sendView_;
    EditLogView receiveView_;
    protocol::SendLog sendLog_;
    protocol::ReceiveLog receiveLog_;
    protocol::LinkToken token_;
    protocol::ReplyDispatcher dispatcher_;
    transport::SerialConnection serial_;
    transport::TcpClient tcp_;
    DrawingHold hold_;
    HeldSink serialOut_{serial_, hold_};
    HeldSink tcpOut_{tcp_, hold_};
    protocol::SendPath send_;
    transport::DeviceSearch deviceSearch_;
    SwitcherSearch search_;
    pages::GeneralPage general_;
    ConnectionControl connection_;
    std::unique_ptr<PortListRefresh> portList_;
    pages::PageHost pageHost_;
    pages::PageWindows pages_{pageHost_};
    ConnectionEvents connectionEvents_;
    TrafficLogWindow* trafficLog_ = nullptr;  // a child window, made on first use
    QPoint dragOffset_;
    bool dragging_ = false;
};

}  // namespace velmora::app

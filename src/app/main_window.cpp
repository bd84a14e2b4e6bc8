#include "app/main_window.h"

#include "app/about_box.h"
#include "app/network_config_dialog.h"
#include "app/operator_dialogs.h"
#include "app/port_list_refresh.h"
#include "app/tab_strip.h"
#include "app/traffic_log.h"
#include "appdefs/page_codes.h"
#include "appdefs/timer_ids.h"
#include "appdefs/window_messages.h"
#include "platform/combo_box.h"
#include "platform/dialog_builder.h"
#include "platform/system_message.h"
#include "protocol/commands.h"
#include "protocol/network_commands.h"
#include "res/artwork.h"
#include "res/main_ids.h"
#include "res/resource_ids.h"
#include "res/templates.h"
#include "transport/async_socket.h"
#include "transport/serial_messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QWindow>

namespace velmora::app {

namespace c = ctl::main;

namespace {

// The General page's and connection controls, shown only on the General page.
constexpr int kGeneralControls[] = {
    c::kModeGroup,      c::kComMode,    c::kTcpMode,     c::kComGroup,        c::kPortLabel,
    c::kComConnect,     c::kPortList,   c::kTcpGroup,    c::kSwitcherIpLabel, c::kSwitcherIp,
    c::kTcpConnect,     c::kSearch,     c::kConfig,      c::kHdmi1,           c::kHdmi2,
    c::kHdmi3,          c::kDp,         c::kVga,         c::kResolutionLabel, c::kAspectLabel,
    c::kResolutionList, c::kAudioList,  c::kAudioLabel,  c::kAutoSwitchLabel, c::kAutoSwitchList,
    c::kInputGroup,     c::kAspectList, c::kOutputGroup, c::kEdidHdcpGroup,   c::kEdidLabel,
    c::kHdcpLabel,      c::kEdidList,   c::kHdcpList,    c::kBaudList,        c::kBaudLabel,
};

constexpr int kTitleFontPixels = 14;  // a 16-pixel cell in the band's bold face

QFont MakeTitleFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kTitleFontPixels);
    font.setBold(true);
    return font;
}

using platform::ShowSystemMessage;

// The transports' messages and the window's own share one numbering.
static_assert(msg::kSendRequest > msg::kLastSerialMessage);

}  // namespace

CVelmoraDlg::CVelmoraDlg(QWidget* parent)
    : platform::Window(parent, Qt::Window | Qt::FramelessWindowHint), titleFont_(MakeTitleFont()),
      sendView_(*this, c::kSendLog, [this] { return hold_.HoldsText(); }),
      receiveView_(*this, c::kReceiveLog, [this] { return hold_.HoldsText(); }), sendLog_(sendView_),
      receiveLog_(receiveView_), dispatcher_(receiveLog_, token_),
      serial_(*this, [this](auto frame) { HandleAnswer(frame); }),
      tcp_(*this, msg::kControlSocket, [this](auto frame) { HandleAnswer(frame); }),
      hold_(*this,
            [this] {
                sendView_.FlushIfObserved();
                receiveView_.FlushIfObserved();
            }),
      send_(
          sendLog_, [this] { return connection_.ComMode(); }, serialOut_, tcpOut_),
      deviceSearch_(*this, msg::kSearchSocket, msg::kConfigSocket, receiveLog_),
      search_(
          *this, deviceSearch_, token_, [this] { tcp_.Close(); }, MakeDialogHooks()),
      general_(*this, send_, token_, [this] { return connection_.CheckConnection(); }),
      connection_(*this, serial_, tcp_, send_, token_, MakeConnectionHooks()),
      pageHost_{*this,
                send_.Frame(),
                token_,
                dispatcher_,
                [this] { return connection_.CheckConnection(); },
                [this] { return connection_.LinkOpen(); }}
{
    platform::SetMainWindow(this);
    // Made before the template's controls: the first Tab stop, as the top row.
    tabStrip_ = new TabStrip(this);
    platform::BuildDialog(*this, res::MainTemplate());
    setWindowTitle(QString::fromLatin1(kTitleText).trimmed());
    setWindowIcon(res::IconSet(res::kAppIcon));
    setAttribute(Qt::WA_OpaquePaintEvent);
    dispatcher_.SetReceiver(page::kGeneral, &general_);
    InitMessages();
    InitControls();
}

CVelmoraDlg::~CVelmoraDlg()
{
    // The traffic log goes while the logs that feed it still stand.
    WatchTraffic(false);
    delete trafficLog_;
    trafficLog_ = nullptr;
}

void CVelmoraDlg::InitMessages()
{
    OnMessage(msg::kSerialByte, [this](platform::WParam w, platform::LParam) {
        serial_.OnByte(w);
        return platform::LResult{0};
    });
    OnMessage(msg::kSerialFailed, [this](platform::WParam w, platform::LParam) {
        if (connection_.ComOpen()) {
            connectionEvents_.SerialFailed(connection_.PortNumber());
        }
        connection_.OnSerialFailed(w);
        return platform::LResult{1};
    });
    OnMessage(msg::kControlSocket, [this](platform::WParam w, platform::LParam l) {
        const bool wasConnected = tcp_.TcpConnected();
        const platform::LResult result = tcp_.OnSocketMessage(w, l);
        connectionEvents_.ControlSocket(transport::SocketEvent(l), transport::SocketError(l), wasConnected,
                                        tcp_.TcpConnected());
        return result;
    });
    OnMessage(msg::kSearchSocket,
              [this](platform::WParam w, platform::LParam l) { return deviceSearch_.OnSearchReply(w, l); });
    OnMessage(msg::kConfigSocket,
              [this](platform::WParam w, platform::LParam l) { return deviceSearch_.OnConfigReply(w, l); });
    OnMessage(msg::kSendRequest, [this](platform::WParam w, platform::LParam) {
        // A page's request goes out only while the link of the control mode
        // is open; otherwise it is dropped, never kept for a later link.
        if (w >= page::kVideo && w <= page::kAdvanced && connection_.LinkOpen()) {
            send_.SendFrame(protocol::kFrameSize);
        }
        return platform::LResult{1};
    });
    OnMessage(msg::kSysCommand, [this](platform::WParam w, platform::LParam) {
        OnSysCommand(w);
        return platform::LResult{0};
    });
}

void CVelmoraDlg::InitControls()
{
    SetupTitleButtons();
    for (const auto& tab : kTabs) {
        if (tab.titleFont) {
            Control(tab.labelId)->setFont(titleFont_);
        }
    }
    tabStrip_->TakeLabels(*this);
    connect(&tcp_, &transport::TcpClient::connectionChanged, this,
            [this](bool connected) { OnTcpConnectionChanged(connected); });
    connect(tabStrip_, &TabStrip::chosen, this, [this](int k) { ChooseTab(kTabs[k].page); });
    ControlAs<QLabel>(c::kAudioLabel)->setFont(titleFont_);
    general_.FillLists();
    connection_.Start();
    portList_ = std::make_unique<PortListRefresh>(*ControlAs<platform::ComboBox>(c::kPortList));
    portList_->Refresh();
    SetTimer(timer::kPortRefresh, timer::kPortRefreshMs);
    ColourTabs();
    PlaceTitleControls();
    auto* trafficShortcut = new QShortcut(QKeySequence(QString::fromLatin1(kTrafficLogShortcut)), this);
    connect(trafficShortcut, &QShortcut::activated, this, [this] { OpenTrafficLog(); });
}

void CVelmoraDlg::SetupTitleButtons()
{
    controls::SkinTitleButton(closeButton_, c::kClose, *this, res::kCloseHoverIcon, res::kCloseIcon,
                              QStringLiteral("Close"));
    controls::SkinTitleButton(minimizeButton_, c::kMinimize, *this, res::kMinimizeHoverIcon, res::kMinimizeIcon,
                              QStringLiteral("Minimize"));
}

QSize CVelmoraDlg::TabSize() const { return Control(c::kTabGeneral)->size(); }

void CVelmoraDlg::PlaceTitleControls()
{
    const int W = width();
    Control(c::kClose)->setGeometry(W - 26, 1, kTitleButtonSize, kTitleButtonSize);
    Control(c::kMinimize)->setGeometry(W - 51, 1, kTitleButtonSize, kTitleButtonSize);
    tabStrip_->Place(TabSize());
}

void CVelmoraDlg::ColourTabs()
{
    for (int k = 0; k < static_cast<int>(kTabs.size()); ++k) {
        if (kTabs[k].page == CurrentPage()) {
            tabStrip_->SetCurrent(k);
        }
    }
}

void CVelmoraDlg::HandleAnswer(std::span<const std::uint8_t, protocol::kFrameSize> frame)
{
    hold_.AnswerBegins();
    dispatcher_.DispatchReply(frame);
    hold_.AnswerHandled();
}

QString CVelmoraDlg::LogText(int editId)
{
    EditLogView& view = editId == c::kSendLog ? sendView_ : receiveView_;
    view.Flush();
    const auto* edit = ControlAs<QPlainTextEdit>(editId);
    return edit ? edit->toPlainText() : QString();
}

bool CVelmoraDlg::event(QEvent* event) { return hold_.HoldsRepaint(*event) || platform::Window::event(event); }

void CVelmoraDlg::paintEvent(QPaintEvent* event)
{
    PlaceTitleControls();
    // Only the part that needs it (a button that changed, say). The window's
    // backing store is already off-screen and at the screen's own
    // resolution, so the band is drawn straight into it, clipped to that part.
    QPainter painter(this);
    PaintTitleBand(painter, size(), TabSize(), palette().color(QPalette::Button), titleFont_,
                   QString::fromLatin1(kTitleText), event->rect());
}

void CVelmoraDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        platform::Window::mousePressEvent(event);
        return;
    }
    if (const int k = tabStrip_->TabAt(event->position().toPoint()); k >= 0) {
        ChooseTab(kTabs[k].page);
        return;
    }
    // Anywhere else the press moves the window, as a caption would.
    if (!(windowHandle() && windowHandle()->startSystemMove())) {
        dragging_ = true;
        dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
    }
}

void CVelmoraDlg::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - dragOffset_);
    }
}

void CVelmoraDlg::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

void CVelmoraDlg::contextMenuEvent(QContextMenuEvent* event)
{
    // The window has no caption; its system menu opens from the title band.
    if (event->pos().y() > kBandBottom) {
        return;
    }
    QMenu menu(this);
    menu.addAction(QString::fromUtf8(kAboutMenuText), this, [this] { Post(msg::kSysCommand, msg::kScAbout); });
    menu.addAction(QString::fromLatin1(kTrafficLogTitle), QKeySequence(QString::fromLatin1(kTrafficLogShortcut)), this,
                   [this] { OpenTrafficLog(); });
    menu.addAction(QStringLiteral("Minimize"), this, [this] { Post(msg::kSysCommand, msg::kScMinimize); });
    menu.exec(event->globalPos());
}

void CVelmoraDlg::OnSysCommand(std::uintptr_t command)
{
    switch (command & ~std::uintptr_t{0xF}) {
    case msg::kScAbout:
        ShowAbout();
        break;
    case msg::kScMinimize:
        showMinimized();
        break;
    default:
        break;  // kScMove among them: the band is the only handle
    }
}

void CVelmoraDlg::ShowAbout()
{
    CAboutDlg about(this);
    about.exec();
}

TrafficLogWindow& CVelmoraDlg::OpenTrafficLog()
{
    if (!trafficLog_) {
        trafficLog_ = new TrafficLogWindow(this);
        connect(trafficLog_, &TrafficLogWindow::watchingChanged, this, &CVelmoraDlg::WatchTraffic);
    }
    trafficLog_->show();
    trafficLog_->raise();
    trafficLog_->activateWindow();
    return *trafficLog_;
}

// The logs and the connection's events feed the traffic log only while it is shown.
void CVelmoraDlg::WatchTraffic(bool watching)
{
    protocol::TrafficObserver* observer = watching ? trafficLog_ : nullptr;
    sendLog_.SetObserver(observer);
    receiveLog_.SetObserver(observer);
    connectionEvents_.SetObserver(observer);
}

void CVelmoraDlg::ChooseTab(std::uint8_t page)
{
    if (!token_.Ready()) {
        return;
    }
    dispatcher_.SetCurrentPage(page);
    ColourTabs();
    SelectPage(page);
}

void CVelmoraDlg::SelectPage(std::uint8_t page)
{
    pages::PageWindow* window = pages_.Ensure(page, this);
    ShowPageControls();
    if (window) {
        window->move(1, kBandBottom);
        // What the page's template places beyond the window's edge is never seen.
        window->DropTabStopsOutside(rect().translated(-window->pos()));
    }
    if (connection_.CheckConnection()) {
        if (const Tab* tab = TabForPage(page)) {
            send_.Send(tab->statusQuery);
        }
        token_.AfterSend(protocol::Answer::None);
    }
}

void CVelmoraDlg::ShowPageControls()
{
    const bool general = CurrentPage() == page::kGeneral;
    for (const int id : kGeneralControls) {
        Control(id)->setVisible(general);
    }
    for (const std::uint8_t page : {page::kVideo, page::kAudio, page::kNetwork, page::kAdvanced}) {
        if (auto* window = pages_.Existing(page)) {
            window->setVisible(!general && page == CurrentPage());
        }
    }
    if (auto* window = pages_.Existing(CurrentPage())) {
        window->raise();
    }
}

void CVelmoraDlg::OnCommand(int id, platform::Notify, int)
{
    if (id == c::kClose) {
        QCoreApplication::exit(0);
        return;
    }
    if (id == c::kMinimize) {
        Post(msg::kSysCommand, msg::kScMinimize);
        return;
    }
    switch (id) {
    case c::kTcpConnect:
        connectionEvents_.TcpConnect(tcp_.TcpConnected(),
                                     ControlAs<platform::ComboBox>(c::kSwitcherIp)->currentText().toStdString());
        OnTcpConnect();
        return;
    case c::kSearch:
        search_.Search();
        return;
    case c::kConfig:
        OnConfig();
        return;
    default:
        break;
    }
    const bool wasOpen = connection_.ComOpen();
    if (connection_.OnCommand(id)) {
        if (id == c::kComConnect) {
            connectionEvents_.ComConnect(wasOpen, connection_.ComOpen(), connection_.PortNumber());
        }
        return;
    }
    general_.OnCommand(id);
}

void CVelmoraDlg::OnTimer(int id)
{
    if (id == timer::kDrawingHold) {
        hold_.LimitReached();
        return;
    }
    if (id == timer::kPortRefresh) {
        portList_->Refresh();
        return;
    }
    if (!search_.OnTimer(id)) {
        connection_.OnTimer(id);
    }
}

void CVelmoraDlg::OnConfig()
{
    const auto target = search_.SelectedMac();
    if (!target) {
        ShowSystemMessage(QString::fromLatin1(kSearchFirst));
        return;
    }
    const QString address = ControlAs<platform::ComboBox>(c::kSwitcherIp)->currentText();
    CNetworkConfigDlg dialog(address, *target, ShowSystemMessage, this);
    if (dialog.RunModal() == pages::kResultOk) {
        search_.Configure(dialog.Request());
    }
}

ConnectionHooks CVelmoraDlg::MakeConnectionHooks()
{
    ConnectionHooks hooks = MakeDialogHooks();
    hooks.comOpened = [this] { connectionEvents_.ComOpened(connection_.PortNumber(), connection_.Baud()); };
    return hooks;
}

// Button 1045: Disconnect when connected, else a new connection attempt.
void CVelmoraDlg::OnTcpConnect()
{
    if (tcp_.TcpConnected()) {
        tcp_.Close();
        return;
    }
    const auto* list = ControlAs<QComboBox>(c::kSwitcherIp);
    if (!tcp_.Connect(list ? list->currentText() : QString())) {
        ShowSystemMessage(QString::fromLatin1(kCreatingSocketFailed));
        return;
    }
    // Sent while the connection is still being made: only the send log shows them.
    send_.Send(protocol::kTcpGreeting);
    send_.Send(protocol::kTcpGreeting);
}

void CVelmoraDlg::OnTcpConnectionChanged(bool connected)
{
    if (auto* button = ControlAs<QAbstractButton>(c::kTcpConnect)) {
        button->setText(QString::fromLatin1(connected ? kDisconnectText : kConnectText));
    }
    // A connection made frees the panel, as a serial Connect does:
    // reconnecting ends a wait for an answer that never came.
    if (connected) {
        token_.GiveBack();
    }
}

}  // namespace velmora::app

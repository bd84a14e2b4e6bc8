// The Network page over a pseudo-terminal: the read chain filling every
// control and writing the status log, each Set button's request, the refused
// port and MAC texts, and the template's odd places.

#include "panel_fixture.h"

#include "platform/dialog_units.h"
#include "platform/ip_address_edit.h"
#include "protocol/network_commands.h"
#include "res/network_ids.h"
#include "res/templates.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QMessageBox>

namespace velmora::test {

using namespace protocol;
namespace n = ctl::network;

namespace {

FrameBytes DhcpState(std::uint8_t state) { return MakeFrame(kReadDhcp, {{kDhcpByte, state}}); }

// A reply with `bytes` from byte `at` on.
template <std::size_t N>
FrameBytes Reply(Command command, std::size_t at, const std::array<std::uint8_t, N>& bytes)
{
    CommandFrame frame;
    frame.Begin(command);
    for (std::size_t i = 0; i < N; ++i) {
        frame.Set(at + i, bytes[i]);
    }
    frame.Seal();
    return frame.Bytes();
}

const QString kChainLog = QStringLiteral("DHCP:OFF\r\nIP: 10.0.0.5\r\nSubnet: 255.255.255.0\r\nGate: 10.0.0.1\r\n"
                                         "Mac: 00-1c-91-03-52-7a\r\nPort: 8080\r\n");

}  // namespace

class NetworkPageTest : public PageTest {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        OpenPage(c::kTabNetwork, kNetworkStatus, DhcpState(kOn));
        ASSERT_EQ(ReadFrame(), Frame(kReadAddresses));
    }

    // Answers the rest of the read chain after Read addresses went out.
    void AnswerAddressesMacAndPort()
    {
        Answer(Reply<12>(kReadAddresses, addresses_reply::kIp, {10, 0, 0, 5, 255, 255, 255, 0, 10, 0, 0, 1}));
        ASSERT_EQ(ReadFrame(), Frame(kReadMac));
        Answer(Reply<6>(kReadMac, kMacByte, {0x00, 0x1C, 0x91, 0x03, 0x52, 0x7A}));
        ASSERT_EQ(ReadFrame(), Frame(kReadPort));
        Answer(MakeFrame(kReadPort, {{kPortHighByte, 0x1F}, {kPortLowByte, 0x90}}));
    }
    // The log as the edit keeps it, each line break read as CR LF.
    QString LogText() { return PageCtl<QPlainTextEdit>(n::kLog)->toPlainText().replace('\n', QStringLiteral("\r\n")); }
    platform::IpAddressEdit* Address(int id) { return PageCtl<platform::IpAddressEdit>(id); }
    void SetMacBoxes(const std::array<const char*, 6>& texts)
    {
        for (std::size_t i = 0; i < texts.size(); ++i) {
            PageCtl<QLineEdit>(n::kMacBoxes[i])->setText(QString::fromLatin1(texts[i]));
        }
    }
    void ExpectStaticFieldsEnabled(bool on)
    {
        for (const int id : {n::kIp, n::kSubnet, n::kGateway, n::kSetSubnet, n::kSetGateway}) {
            EXPECT_EQ(PageCtl<QWidget>(id)->isEnabled(), on) << id;
        }
        for (const int id : {n::kSetIp, n::kSetMac, n::kPort, n::kSetPort, n::kMacBoxes[0]}) {
            EXPECT_TRUE(PageCtl<QWidget>(id)->isEnabled()) << id << " keeps its state";
        }
    }
};

TEST_F(NetworkPageTest, ReadChainFillsEveryControlAndWritesTheLog)
{
    EXPECT_EQ(LogText(), "DHCP:OFF\r\n");
    AnswerAddressesMacAndPort();
    EXPECT_TRUE(LineQuiet()) << "the port answer ends the chain";
    EXPECT_FALSE(PageButton(n::kDhcp)->isChecked());
    ExpectStaticFieldsEnabled(true);
    EXPECT_EQ(Address(n::kIp)->Text(), "10.0.0.5");
    EXPECT_EQ(Address(n::kSubnet)->Text(), "255.255.255.0");
    EXPECT_EQ(BoxText(n::kMacBoxes[1]), "1c");
    EXPECT_EQ(BoxText(n::kPort), "8080");
    EXPECT_EQ(LogText(), kChainLog);
    EXPECT_EQ(PageCtl<QPlainTextEdit>(n::kLog)->document()->blockCount(), 7) << "and the empty line after the last";
    EXPECT_TRUE(panel->Token().Ready());
    // A DHCP state other than on or off stops the chain.
    for (const std::uint8_t state : {0x00, 0x01, 0xFF}) {
        Answer(DhcpState(state));
        EXPECT_TRUE(LineQuiet()) << int{state};
    }
    EXPECT_EQ(LogText(), kChainLog);
    // DHCP on checks the box, disables the static fields and restarts the log.
    PageButton(n::kStatus)->click();
    ASSERT_EQ(ReadFrame(), Frame(kReadDhcp));
    Answer(DhcpState(kOff));
    EXPECT_EQ(ReadFrame(), Frame(kReadAddresses));
    EXPECT_TRUE(PageButton(n::kDhcp)->isChecked());
    ExpectStaticFieldsEnabled(false);
    EXPECT_EQ(LogText(), "DHCP: ON\r\n");
}

TEST_F(NetworkPageTest, TheDhcpBoxOnlyEnablesAndDisablesTheStaticFields)
{
    PageButton(n::kDhcp)->click();
    ExpectStaticFieldsEnabled(false);
    // Operated through its accessible action exactly as by a click.
    QAccessible::queryAccessibleInterface(PageCtl<QWidget>(n::kDhcp))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::toggleAction());
    QCoreApplication::processEvents();  // the action's click is queued
    ExpectStaticFieldsEnabled(true);
    EXPECT_TRUE(LineQuiet());
    // Set IP with DHCP checked switches DHCP on, and nothing follows.
    PageButton(n::kDhcp)->click();
    PageButton(n::kSetIp)->click();
    const Bytes sent = ReadFrame();
    EXPECT_EQ(sent, Frame(kDhcp.set, {{kValueByte, 0x0F}}));
    Acknowledge(sent);
    EXPECT_TRUE(LineQuiet());
}

TEST_F(NetworkPageTest, EachSetButtonSendsWhatItsControlsHold)
{
    Address(n::kIp)->SetOctets({192, 168, 5, 20});
    Address(n::kSubnet)->SetOctets({255, 255, 0, 0});
    Address(n::kGateway)->Clear();
    const struct {
        int button;
        std::array<const char*, 6> mac;
        const char* port;
        Bytes frame;  // empty: refused with a plain box
    } cases[] = {
        {n::kSetIp, {}, "", Frame(kSetIp, {{5, 192}, {6, 168}, {7, 5}, {8, 20}})},
        {n::kSetSubnet, {}, "", Frame(kSetSubnet, {{5, 255}, {6, 255}, {7, 0}, {8, 0}})},
        {n::kSetGateway, {}, "", Frame(kSetGateway)},  // a blank field goes out as zero
        {n::kSetMac,
         {"02", "1A", "2b", "3C", "4d", "5E"},
         "",
         Frame(kSetMac, {{5, 0x02}, {6, 0x1A}, {7, 0x2B}, {8, 0x3C}, {9, 0x4D}, {10, 0x5E}})},
        {n::kSetMac,
         {"0A", "0a", "0a1", "0a1b", "0aZZ", "7F"},
         "",
         Frame(kSetMac, {{5, 0x0A}, {6, 0x0A}, {7, 0x0A}, {8, 0x1B}, {9, 0x0A}, {10, 0x7F}})},
        {n::kSetMac, {"02", "00", "00", "", "00", "01"}, "", {}},  // an empty box
        {n::kSetMac, {"02", "00", "00", "g0", "00", "01"}, "", {}},  // no hexadecimal pair
        {n::kSetMac, {"02", "00", "00", "0", "00", "01"}, "", {}},  // one digit
        {n::kSetMac, {"00", "00", "00", "00", "00", "00"}, "", {}},  // all zero
        {n::kSetMac, {"01", "00", "5e", "00", "00", "01"}, "", {}},  // a group address
        {n::kSetMac, {"ff", "ff", "ff", "ff", "ff", "ff"}, "", {}},  // broadcast
        {n::kSetPort, {}, "8080", Bytes{0x50, 0x56, 0x54, 0x22, 0x77, 0x1F, 0x90, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x42}},
        {n::kSetPort, {}, " +8080abc", Frame(kSetPort, {{kPortHighByte, 0x1F}, {kPortLowByte, 0x90}})},
        {n::kSetPort, {}, "1", Frame(kSetPort, {{kPortHighByte, 0}, {kPortLowByte, 1}})},
        {n::kSetPort, {}, "65535", Frame(kSetPort, {{kPortHighByte, 0xFF}, {kPortLowByte, 0xFF}})},
        {n::kSetPort, {}, "70000", {}},
        {n::kSetPort, {}, "abc", {}},
        {n::kSetPort, {}, "", {}},
        {n::kSetPort, {}, "0", {}},
        {n::kSetPort, {}, "-1", {}},
        {n::kSetPort, {}, "4294975296", {}},
        {n::kSetPort, {}, " - 8080", {}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << k.button << " " << k.mac[3] << k.port);
        if (k.mac[0]) {
            SetMacBoxes(k.mac);
        }
        PageCtl<QLineEdit>(n::kPort)->setText(k.port);
        QStringList boxes;
        ModalWatcher watcher([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr) << "a plain system box";
            EXPECT_EQ(box->buttons().size(), 1);
            boxes << box->text();
            box->button(QMessageBox::Ok)->click();
        });
        PageButton(k.button)->click();
        if (k.frame.empty()) {
            EXPECT_EQ(boxes, QStringList{" Input value error!"});
        } else {
            EXPECT_EQ(ReadFrame(), k.frame);
            if (k.button == n::kSetPort) {
                EXPECT_EQ(ReadFrame(), k.frame) << "Set port goes out twice";
            }
        }
        EXPECT_TRUE(LineQuiet());
        EXPECT_TRUE(panel->Token().Ready()) << "the page takes no token";
    }
    EXPECT_FALSE(pages::MessageBoxShowing()) << "not the panel's own box";
}

TEST_F(NetworkPageTest, TheTemplatePutsTheSetButtonsRightOfTheFrameAndHidesTheMacRow)
{
    const auto& tpl = res::NetworkTemplate();
    const auto base = platform::BaseUnitsFor(tpl.font, tpl.pointSize);
    for (const int id : {n::kSetSubnet, n::kSetGateway, n::kSetMac}) {
        EXPECT_EQ(PageCtl<QWidget>(id)->x(), platform::DluToPixelsX(379, base)) << id;
        EXPECT_GT(PageCtl<QWidget>(id)->x(), PageCtl<QWidget>(n::kConfigGroup)->geometry().right()) << id;
        EXPECT_TRUE(PageCtl<QWidget>(id)->isVisible()) << id;
    }
    for (const int id : n::kMacBoxes) {
        EXPECT_FALSE(PageCtl<QWidget>(id)->isVisible()) << id;
    }
    EXPECT_FALSE(PageCtl<QWidget>(n::kMacLabel)->isVisible());
    EXPECT_EQ(PageCtl<QWidget>(n::kLog)->geometry(), platform::DluToPixels(40, 198, 259, 95, base));
    EXPECT_FALSE(PageCtl<QPlainTextEdit>(n::kLog)->isReadOnly());
    EXPECT_EQ(page->size(), platform::DluToPixels(416, 332, base));
}

}  // namespace velmora::test

// The Network page over a pseudo-terminal: the read chain filling every
// control and writing the status log, each Set button's request byte for
// byte, the refused port and MAC texts, and the template's odd places. The
// chains against the simulated switcher are in tests/e2e.

#include "pages/page_fixture.h"

#include "platform/dialog_units.h"
#include "platform/ip_address_edit.h"
#include "protocol/network_commands.h"
#include "res/network_ids.h"
#include "res/templates.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QMessageBox>
#include <QPlainTextEdit>

namespace velmora::test {

using namespace protocol;
namespace n = ctl::network;

namespace {

using Bytes = std::vector<std::uint8_t>;

FrameBytes DhcpState(std::uint8_t state) { return MakeFrame(kReadDhcp, {{kDhcpByte, state}}); }

// IP, subnet mask and gateway, four bytes each from byte 5 on.
FrameBytes AddressesReply(const std::array<std::uint8_t, 12>& bytes)
{
    CommandFrame frame;
    frame.Begin(kReadAddresses);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        frame.Set(addresses_reply::kIp + i, bytes[i]);
    }
    frame.Seal();
    return frame.Bytes();
}

FrameBytes MacReply(const MacAddress& mac)
{
    CommandFrame frame;
    frame.Begin(kReadMac);
    for (std::size_t i = 0; i < mac.size(); ++i) {
        frame.Set(kMacByte + i, mac[i]);
    }
    frame.Seal();
    return frame.Bytes();
}

FrameBytes PortReply(std::uint8_t high, std::uint8_t low)
{
    return MakeFrame(kReadPort, {{kPortHighByte, high}, {kPortLowByte, low}});
}

const FrameBytes kAddresses = AddressesReply({10, 0, 0, 5, 255, 255, 255, 0, 10, 0, 0, 1});
const FrameBytes kMac = MacReply({0x00, 0x1C, 0x91, 0x03, 0x52, 0x7A});
const FrameBytes kPort8080 = PortReply(0x1F, 0x90);

const QString kDhcpOffLine = QStringLiteral("DHCP:OFF\r\n");
const QString kAddressLines = QStringLiteral("IP: 10.0.0.5\r\nSubnet: 255.255.255.0\r\nGate: 10.0.0.1\r\n");
const QString kMacLine = QStringLiteral("Mac: 00-1c-91-03-52-7a\r\n");
const QString kPortLine = QStringLiteral("Port: 8080\r\n");

// The plain system boxes that open, with their texts and buttons; each is closed with OK.
struct SystemBoxes {
    QStringList texts;
    bool onlyOk = true;
    ModalWatcher watcher{[this](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) {
            texts << QStringLiteral("(not a system box)");
            Dismiss(modal);
            return;
        }
        texts << box->text();
        onlyOk = onlyOk && box->buttons().size() == 1 && box->button(QMessageBox::Ok) != nullptr;
        box->button(QMessageBox::Ok)->click();
    }};
};

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
        Answer(kAddresses);
        ASSERT_EQ(ReadFrame(), Frame(kReadMac));
        Answer(kMac);
        ASSERT_EQ(ReadFrame(), Frame(kReadPort));
        Answer(kPort8080);
    }
    // The log as the edit keeps it, each line break read as CR LF.
    QString LogText()
    {
        QString text = Log()->toPlainText();
        return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    }
    QPlainTextEdit* Log() { return PageCtl<QPlainTextEdit>(n::kLog); }
    platform::IpAddressEdit* Address(int id) { return PageCtl<platform::IpAddressEdit>(id); }
    void ClickSet(int id) { PageCtl<QAbstractButton>(id)->click(); }
    void SetMacBoxes(const std::array<const char*, 6>& texts)
    {
        for (std::size_t i = 0; i < texts.size(); ++i) {
            PageCtl<QLineEdit>(n::kMacBoxes[i])->setText(QString::fromLatin1(texts[i]));
        }
    }
    // The switcher's echo of a request: the acknowledgement.
    void Acknowledge(const Bytes& frame)
    {
        ASSERT_EQ(frame.size(), kFrameSize);
        FrameBytes echo{};
        std::copy(frame.begin(), frame.end(), echo.begin());
        Answer(echo);
    }
    void ExpectStaticFieldsEnabled(bool on)
    {
        for (const int id : {n::kIp, n::kSubnet, n::kGateway, n::kSetSubnet, n::kSetGateway}) {
            EXPECT_EQ(PageCtl<QWidget>(id)->isEnabled(), on) << id;
        }
        for (const int id : {n::kSetIp, n::kSetMac, n::kPort, n::kSetPort, n::kMacBoxes[0], n::kMacBoxes[5]}) {
            EXPECT_TRUE(PageCtl<QWidget>(id)->isEnabled()) << id << " keeps its state";
        }
    }
};

TEST_F(NetworkPageTest, ReadChainFillsEveryControlAndWritesTheLog)
{
    EXPECT_EQ(LogText(), kDhcpOffLine);
    AnswerAddressesMacAndPort();
    EXPECT_TRUE(LineQuiet()) << "the port answer ends the chain";
    EXPECT_FALSE(PageCtl<QAbstractButton>(n::kDhcp)->isChecked());
    ExpectStaticFieldsEnabled(true);
    EXPECT_EQ(Address(n::kIp)->Text(), "10.0.0.5");
    EXPECT_EQ(Address(n::kSubnet)->Text(), "255.255.255.0");
    EXPECT_EQ(Address(n::kGateway)->Text(), "10.0.0.1");
    const char* const mac[] = {"00", "1c", "91", "03", "52", "7a"};
    for (std::size_t i = 0; i < n::kMacBoxes.size(); ++i) {
        EXPECT_EQ(BoxText(n::kMacBoxes[i]), mac[i]);
    }
    EXPECT_EQ(BoxText(n::kPort), "8080");
    EXPECT_EQ(LogText(), kDhcpOffLine + kAddressLines + kMacLine + kPortLine);
    EXPECT_EQ(Log()->document()->blockCount(), 7) << "six lines and the empty one after the last line end";
    EXPECT_TRUE(panel->Token().Ready());
}

TEST_F(NetworkPageTest, DhcpOnChecksTheBoxDisablesTheStaticFieldsAndRestartsTheLog)
{
    AnswerAddressesMacAndPort();
    PageCtl<QAbstractButton>(n::kStatus)->click();
    ASSERT_EQ(ReadFrame(), Frame(kReadDhcp));
    Answer(DhcpState(kOff));
    EXPECT_EQ(ReadFrame(), Frame(kReadAddresses));
    EXPECT_TRUE(PageCtl<QAbstractButton>(n::kDhcp)->isChecked());
    ExpectStaticFieldsEnabled(false);
    EXPECT_EQ(LogText(), "DHCP: ON\r\n");
}

TEST_F(NetworkPageTest, ADhcpStateOtherThanOnOrOffStopsTheChain)
{
    AnswerAddressesMacAndPort();
    const QString log = LogText();
    for (const std::uint8_t state : {0x00, 0x01, 0xFF, 0x0E}) {
        Answer(DhcpState(state));
        EXPECT_TRUE(LineQuiet()) << int{state};
    }
    EXPECT_EQ(LogText(), log);
    EXPECT_FALSE(PageCtl<QAbstractButton>(n::kDhcp)->isChecked());
    ExpectStaticFieldsEnabled(true);
}

TEST_F(NetworkPageTest, TheDhcpBoxOnlyEnablesAndDisablesTheStaticFields)
{
    PageCtl<QAbstractButton>(n::kDhcp)->click();
    ExpectStaticFieldsEnabled(false);
    PageCtl<QAbstractButton>(n::kDhcp)->click();
    ExpectStaticFieldsEnabled(true);
    // Operated through its accessible action exactly as by a click.
    QAccessible::queryAccessibleInterface(PageCtl<QWidget>(n::kDhcp))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::toggleAction());
    QCoreApplication::processEvents();  // the action's click is queued
    ExpectStaticFieldsEnabled(false);
    EXPECT_TRUE(LineQuiet());
}

TEST_F(NetworkPageTest, EachSetButtonSendsWhatItsControlsHold)
{
    Address(n::kIp)->SetOctets({192, 168, 5, 20});
    Address(n::kSubnet)->SetOctets({255, 255, 0, 0});
    Address(n::kGateway)->SetOctets({192, 168, 5, 1});
    SetMacBoxes({"02", "1A", "2b", "3C", "4d", "5E"});
    PageCtl<QLineEdit>(n::kPort)->setText("8080");
    const struct {
        int button;
        Bytes frame;
    } cases[] = {
        {n::kSetIp, Frame(kSetIp, {{5, 192}, {6, 168}, {7, 5}, {8, 20}})},
        {n::kSetSubnet, Frame(kSetSubnet, {{5, 255}, {6, 255}, {7, 0}, {8, 0}})},
        {n::kSetGateway, Frame(kSetGateway, {{5, 192}, {6, 168}, {7, 5}, {8, 1}})},
        {n::kSetMac, Frame(kSetMac, {{5, 0x02}, {6, 0x1A}, {7, 0x2B}, {8, 0x3C}, {9, 0x4D}, {10, 0x5E}})},
    };
    for (const auto& k : cases) {
        ClickSet(k.button);
        EXPECT_EQ(ReadFrame(), k.frame) << k.button;
    }
    ClickSet(n::kSetPort);
    const Bytes port{0x50, 0x56, 0x54, 0x22, 0x77, 0x1F, 0x90, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x42};
    EXPECT_EQ(ReadFrame(), port);
    EXPECT_EQ(ReadFrame(), port) << "Set port goes out twice";
    EXPECT_TRUE(LineQuiet());
    EXPECT_TRUE(panel->Token().Ready()) << "the page takes no token";
}

TEST_F(NetworkPageTest, ABlankAddressFieldGoesOutAsZero)
{
    Address(n::kGateway)->Clear();
    ClickSet(n::kSetGateway);
    EXPECT_EQ(ReadFrame(), Frame(kSetGateway));
}

TEST_F(NetworkPageTest, SetIpWithDhcpCheckedSwitchesDhcpOnAndNothingFollows)
{
    PageCtl<QAbstractButton>(n::kDhcp)->click();
    ClickSet(n::kSetIp);
    const Bytes sent = ReadFrame();
    EXPECT_EQ(sent, Frame(kDhcp.set, {{kValueByte, 0x0F}}));
    Acknowledge(sent);
    EXPECT_TRUE(LineQuiet());
}

TEST_F(NetworkPageTest, PortTextsFromOneTo65535GoOutAndOthersAreRefused)
{
    const struct {
        const char* text;
        std::uint8_t high, low;
    } accepted[] = {
        {"8080", 0x1F, 0x90}, {" +8080", 0x1F, 0x90}, {"8080abc", 0x1F, 0x90}, {"1", 0x00, 0x01}, {"65535", 0xFF, 0xFF},
    };
    for (const auto& k : accepted) {
        PageCtl<QLineEdit>(n::kPort)->setText(k.text);
        ClickSet(n::kSetPort);
        const Bytes frame = Frame(kSetPort, {{kPortHighByte, k.high}, {kPortLowByte, k.low}});
        EXPECT_EQ(ReadFrame(), frame) << k.text;
        EXPECT_EQ(ReadFrame(), frame) << k.text;
    }
    SystemBoxes boxes;
    const char* const refused[] = {"70000", "abc", "", "0", "-1", "65536", "4294975296", " - 8080"};
    for (const char* text : refused) {
        PageCtl<QLineEdit>(n::kPort)->setText(text);
        ClickSet(n::kSetPort);
        EXPECT_TRUE(LineQuiet()) << text;
    }
    EXPECT_EQ(boxes.texts, QStringList(std::size(refused), QStringLiteral(" Input value error!")));
    EXPECT_TRUE(boxes.onlyOk);
    EXPECT_FALSE(pages::MessageBoxShowing()) << "not the panel's own box";
}

TEST_F(NetworkPageTest, MacBoxesMustGiveAnAddressAUnitCanTake)
{
    SetMacBoxes({"0A", "0a", "0a1", "0a1b", "0aZZ", "7F"});
    ClickSet(n::kSetMac);
    EXPECT_EQ(ReadFrame(), Frame(kSetMac, {{5, 0x0A}, {6, 0x0A}, {7, 0x0A}, {8, 0x1B}, {9, 0x0A}, {10, 0x7F}}));

    SystemBoxes boxes;
    const std::array<const char*, 6> refused[] = {
        {"02", "00", "00", "", "00", "01"},  // an empty box
        {"02", "00", "00", "g0", "00", "01"},  // no hexadecimal pair
        {"02", "00", "00", "0", "00", "01"},  // one digit
        {"00", "00", "00", "00", "00", "00"},  // all zero
        {"01", "00", "5e", "00", "00", "01"},  // a group address
        {"ff", "ff", "ff", "ff", "ff", "ff"},  // broadcast
    };
    for (const auto& texts : refused) {
        SetMacBoxes(texts);
        ClickSet(n::kSetMac);
        EXPECT_TRUE(LineQuiet()) << texts[3];
    }
    EXPECT_EQ(boxes.texts, QStringList(std::size(refused), QStringLiteral(" Input value error!")));
    EXPECT_TRUE(boxes.onlyOk);
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
    EXPECT_FALSE(Log()->isReadOnly());
    EXPECT_EQ(page->size(), platform::DluToPixels(416, 332, base));
}

}  // namespace velmora::test

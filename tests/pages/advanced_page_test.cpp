// The Advanced page over a pseudo-terminal: its lists as they are made, the
// status answer filling every control, the frame of every control, and the
// power-off and factory reset questions.

#include "panel_fixture.h"

#include "pages/advanced_lists.h"
#include "protocol/advanced_commands.h"
#include "res/advanced_ids.h"
#include "res/message_ids.h"

#include <QAbstractItemView>

namespace velmora::test {

using namespace protocol;
namespace a = ctl::advanced;
namespace m = ctl::message;
namespace lists = pages::advanced_lists;

namespace {

const struct {
    int id;
    const lists::Entries* entries;
    int initial;
    const ListSetting* setting;
} kLists[] = {
    {a::kSerialBaudList, &lists::kSerialBaud, 5, &kSerialBaud},
    {a::kSleepTimerList, &lists::kSleepTimer, 0, &kSleepTimer},
    {a::kOsdTimeoutList, &lists::kOsdTimeout, 0, &kOsdTimeout},
};

FrameBytes AdvancedStatus(std::array<std::uint8_t, 8> s)  // beep, power, baud, sleep, osd, major, byte 12, minor
{
    namespace st = advanced_status;
    return MakeFrame(kAdvancedStatus, {{st::kBeep, s[0]},
                                       {st::kPower, s[1]},
                                       {st::kSerialBaud, s[2]},
                                       {st::kSleepTimer, s[3]},
                                       {st::kOsdTimeout, s[4]},
                                       {st::kVersionMajor, s[5]},
                                       {12, s[6]},
                                       {st::kVersionMinor, s[7]}});
}

// Beep on (0), power on, 115200, OFF, 5 seconds, version 1.2.
const FrameBytes kOnStatus = AdvancedStatus({0x00, 0x0F, 6, 1, 1, 1, 0, 2});

// Clicks a control of the open message box.
void ClickBox(QWidget* modal, int id)
{
    qobject_cast<pages::CMessageDlg*>(modal)->ControlAs<QAbstractButton>(id)->click();
}

}  // namespace

class AdvancedPageTest : public PageTest {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        OpenPage(c::kTabAdvanced, kAdvancedStatus, kOnStatus);
    }
    platform::ComboBox* PageList(int id) { return PageCtl<platform::ComboBox>(id); }
    bool Checked(int id) { return PageButton(id)->isChecked(); }

    // Opens the list and clicks one of its entries, as an operator confirms a choice.
    void ChooseEntry(int listId, int position)
    {
        auto* list = PageList(listId);
        list->showPopup();
        QAbstractItemView* view = list->view();
        ASSERT_TRUE(PumpUntil([&] { return view->isVisible(); }));
        Click(view->viewport(), view->visualRect(list->model()->index(position, 0)).center());
        ASSERT_TRUE(PumpUntil([&] { return !view->isVisible(); }));
    }
};

TEST_F(PageTest, AdvancedListsAreMadeInOrderWithTheirFirstSelection)
{
    Connect();
    Answer(MakeFrame(kGeneralStatus));
    ClickChildOf(panel.get(), Ctl<QWidget>(c::kTabAdvanced));
    page = panel->Pages().Existing(panel->CurrentPage());
    for (const auto& list : kLists) {
        auto* combo = PageCtl<platform::ComboBox>(list.id);
        EXPECT_FALSE(combo->IsSorted());
        ASSERT_EQ(combo->GetCount(), kAdvancedListCount);
        for (int i = 0; i < combo->GetCount(); ++i) {
            const auto text = (*list.entries)[static_cast<std::size_t>(i)];
            EXPECT_EQ(combo->GetLBText(i), QLatin1String(text.data(), static_cast<qsizetype>(text.size())));
        }
        EXPECT_EQ(combo->GetCurSel(), list.initial) << list.id;
    }
    EXPECT_EQ(BoxText(a::kVersionBox), QString());
    EXPECT_EQ(ReadFrame(), Frame(kAdvancedStatus)) << "the tab asks for the status; the page sends nothing";
    EXPECT_TRUE(LineQuiet());
}

TEST_F(AdvancedPageTest, StatusAnswerFillsEveryControl)
{
    const struct {
        std::array<std::uint8_t, 8> status;
        bool beep, power;
        int positions[3];  // -1: no selection
        const char* version;
    } cases[] = {
        {{0x00, 0x0F, 1, 6, 3, 1, 0, 2}, true, true, {0, 5, 2}, "1.2"},
        {{0x0F, 0xF0, 6, 1, 6, 3, 9, 0}, false, false, {5, 0, 5}, "3.0"},
        {{0x01, 0x00, 0, 7, 0, 255, 0, 255}, false, false, {-1, -1, -1}, "255.255"},
        {{0xF0, 0x0E, 7, 0, 4, 0, 0, 10}, false, false, {-1, -1, 3}, "0.10"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.version);
        Answer(AdvancedStatus(k.status));
        EXPECT_EQ(Checked(a::kBeep), k.beep);
        EXPECT_EQ(Checked(a::kPower), k.power);
        for (std::size_t i = 0; i < std::size(kLists); ++i) {
            EXPECT_EQ(PageList(kLists[i].id)->GetCurSel(), k.positions[i]) << kLists[i].id;
        }
        EXPECT_EQ(BoxText(a::kVersionBox), k.version);
        EXPECT_TRUE(panel->Token().Ready());
    }
    EXPECT_TRUE(LineQuiet()) << "a status answer asks for nothing";
}

TEST_F(AdvancedPageTest, EachConfirmedChoiceSendsItsPositionPlusOne)
{
    for (const auto& list : kLists) {
        for (int position = 0; position < kAdvancedListCount; ++position) {
            SCOPED_TRACE(testing::Message() << list.id << " entry " << position);
            ChooseEntry(list.id, position);  // also the one already selected
            const auto sent = ReadFrame();
            EXPECT_EQ(sent, Frame(list.setting->set, {{kValueByte, static_cast<std::uint8_t>(position + 1)}}));
            EXPECT_FALSE(panel->Token().Ready()) << "the choice waits for its answer";
            Acknowledge(sent);
        }
    }
    ChooseEntry(a::kSerialBaudList, 3);  // "\t38400 \t"
    EXPECT_EQ(ReadFrame(), (Bytes{0x50, 0x56, 0x54, 0x24, 0x51, 0x04, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x73}));
}

TEST_F(AdvancedPageTest, MovingTheHighlightInAnOpenListSendsNothing)
{
    auto* list = PageList(a::kSleepTimerList);
    list->showPopup();
    QAbstractItemView* view = list->view();
    ASSERT_TRUE(PumpUntil([&] { return view->isVisible(); }));
    PressKey(view, Qt::Key_Down);
    PressKey(view, Qt::Key_Down);
    EXPECT_TRUE(LineQuiet());
    PressKey(view, Qt::Key_Return);
    EXPECT_EQ(ReadFrame(), Frame(kSleepTimer.set, {{kValueByte, 3}}));
}

TEST_F(AdvancedPageTest, BeepUpgradeAndPowerOnWaitForTheirAcknowledgement)
{
    ASSERT_TRUE(Checked(a::kBeep)) << "status 0 reads as on";
    Answer(AdvancedStatus({0x00, 0xF0, 6, 1, 1, 1, 0, 2}));
    ModalWatcher watcher([](QWidget* modal) { Dismiss(modal); });
    const struct {
        int button;
        Bytes frame;
        bool waits;
    } cases[] = {
        {a::kBeep, Frame(kBeep.set, {{kValueByte, 0xF0}}), true},
        {a::kBeep, Bytes{0x50, 0x56, 0x54, 0x06, 0x01, 0x0F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x10}, true},
        {a::kUpgradeScaler, Bytes{0x50, 0x56, 0x54, 0x07, 0x07, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x08}, true},
        // Power on asks nothing and is free again before the command went.
        {a::kPower, Bytes{0x50, 0x56, 0x54, 0x08, 0x0B, 0x0F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x1C}, false},
    };
    for (const auto& k : cases) {
        PageButton(k.button)->click();
        const auto sent = ReadFrame();
        EXPECT_EQ(sent, k.frame);
        EXPECT_EQ(panel->Token().Ready(), !k.waits);
        if (k.waits) {
            PageButton(k.button == a::kUpgradeScaler ? a::kBeep : a::kUpgradeScaler)->click();
            EXPECT_TRUE(LineQuiet()) << "nothing else while it is unanswered";
            Acknowledge(sent);
        }
        EXPECT_TRUE(panel->Token().Ready());
    }
    EXPECT_EQ(watcher.Seen(), 0);
}

TEST_F(AdvancedPageTest, PowerOffGoesOutOnlyWhenConfirmed)
{
    for (const int answer : {m::kOk, m::kClose, 0}) {
        SCOPED_TRACE(answer);
        Answer(kOnStatus);
        QString asked;
        bool cancelShown = true;
        ModalWatcher watcher([&](QWidget* modal) {
            asked = pages::MessageText();
            cancelShown = qobject_cast<pages::CMessageDlg*>(modal)->Control(m::kCancel)->isVisible();
            answer ? ClickBox(modal, answer) : PressKey(modal, Qt::Key_Escape);
        });
        PageButton(a::kPower)->click();
        EXPECT_EQ(watcher.Seen(), 1);
        EXPECT_EQ(asked, "Are you sure you want to power off?");
        EXPECT_FALSE(cancelShown) << "asked without the question mode";
        EXPECT_FALSE(pages::MessageBoxShowing());
        if (answer == m::kOk) {
            EXPECT_EQ(ReadFrame(), Frame(kPower.set, {{kValueByte, 0xF0}}));
        } else {
            EXPECT_TRUE(LineQuiet());
        }
        EXPECT_FALSE(Checked(a::kPower)) << "unchecked until the next status";
        EXPECT_TRUE(panel->Token().Ready());
    }
}

// The operator's "No longer remind" stays for the rest of the run.
TEST_F(AdvancedPageTest, FactoryResetAsksAsTheMainWindowDoesUntilNoLongerRemindIsTicked)
{
    for (const int answer : {m::kCancel, m::kOk, m::kNoLongerRemind}) {
        SCOPED_TRACE(answer);
        QString asked;
        bool remindShown = false;
        ModalWatcher watcher([&](QWidget* modal) {
            asked = pages::MessageText();
            auto* box = qobject_cast<pages::CMessageDlg*>(modal);
            remindShown = box->Control(m::kNoLongerRemind)->isVisible() && box->Control(m::kCancel)->isVisible();
            ClickBox(modal, answer);
            if (answer == m::kNoLongerRemind) {
                ClickBox(modal, m::kCancel);
            }
        });
        PageButton(a::kFactoryReset)->click();
        EXPECT_EQ(watcher.Seen(), 1) << "no progress popup follows";
        EXPECT_EQ(asked, "Do you want to reset to factory settings?");
        EXPECT_TRUE(remindShown);
        EXPECT_FALSE(pages::ConfirmMode());
        EXPECT_FALSE(pages::StatusPopupShowing());
        if (answer == m::kOk) {
            const auto sent = ReadFrame();
            EXPECT_EQ(sent, (Bytes{0x50, 0x56, 0x54, 0x08, 0x0A, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0C}));
            EXPECT_FALSE(panel->Token().Ready()) << "the reset waits for its answer";
            Acknowledge(sent);
        } else {
            EXPECT_TRUE(LineQuiet());
            EXPECT_TRUE(panel->Token().Ready()) << "declined: the token comes back";
        }
    }
    EXPECT_TRUE(pages::SkipResetConfirm());
    ModalWatcher watcher([](QWidget* modal) { Dismiss(modal); });
    PageButton(a::kFactoryReset)->click();
    EXPECT_EQ(ReadFrame(), Frame(kAdvancedFactoryReset));
    EXPECT_EQ(watcher.Seen(), 0) << "not asked again";
}

}  // namespace velmora::test

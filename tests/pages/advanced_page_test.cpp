// The Advanced page over a pseudo-terminal: its lists as they are made, the
// status answer filling every control, the frame of every control, the
// power-off question and the factory reset question.

#include "pages/page_fixture.h"

#include "appdefs/page_codes.h"
#include "pages/advanced_lists.h"
#include "protocol/advanced_commands.h"
#include "res/advanced_ids.h"
#include "res/message_ids.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>

namespace velmora::test {

using namespace protocol;
namespace a = ctl::advanced;
namespace m = ctl::message;
namespace lists = pages::advanced_lists;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct ListCase {
    int id;
    const lists::Entries* entries;
    int initial;
    const ListSetting* setting;
};

const ListCase kLists[] = {
    {a::kSerialBaudList, &lists::kSerialBaud, 5, &kSerialBaud},
    {a::kSleepTimerList, &lists::kSleepTimer, 0, &kSleepTimer},
    {a::kOsdTimeoutList, &lists::kOsdTimeout, 0, &kOsdTimeout},
};

struct StatusBytes {
    std::uint8_t beep, power, baud, sleep, osd, major, minor;
    std::uint8_t byte12 = 0;
};

FrameBytes AdvancedStatus(const StatusBytes& s)
{
    namespace st = advanced_status;
    return MakeFrame(kAdvancedStatus, {{st::kBeep, s.beep},
                                       {st::kPower, s.power},
                                       {st::kSerialBaud, s.baud},
                                       {st::kSleepTimer, s.sleep},
                                       {st::kOsdTimeout, s.osd},
                                       {st::kVersionMajor, s.major},
                                       {12, s.byte12},
                                       {st::kVersionMinor, s.minor}});
}

// Beep on (0), power on, 115200, OFF, 5 seconds, version 1.2.
const FrameBytes kOnStatus = AdvancedStatus({0x00, 0x0F, 6, 1, 1, 1, 2});

QString Text(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

// Clicks a control of the open message box.
void ClickBox(QWidget* modal, int id)
{
    auto* box = qobject_cast<pages::CMessageDlg*>(modal);
    ASSERT_NE(box, nullptr);
    box->ControlAs<QAbstractButton>(id)->click();
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
    bool Checked(int id) { return PageCtl<QAbstractButton>(id)->isChecked(); }

    // Opens the list and clicks one of its entries, as an operator confirms a choice.
    void Choose(int listId, int position)
    {
        auto* list = PageList(listId);
        list->showPopup();
        QAbstractItemView* view = list->view();
        ASSERT_TRUE(PumpUntil([&] { return view->isVisible(); }));
        Click(view->viewport(), view->visualRect(list->model()->index(position, 0)).center());
        ASSERT_TRUE(PumpUntil([&] { return !view->isVisible(); }));
    }
    // The switcher's echo of the frame just read: the token comes back.
    void Acknowledge(const Bytes& frame)
    {
        FrameBytes echo{};
        std::copy(frame.begin(), frame.end(), echo.begin());
        Answer(echo);
    }
};

TEST_F(PageTest, AdvancedListsAreMadeInOrderWithTheirFirstSelection)
{
    Connect();
    Answer(MakeFrame(kGeneralStatus));
    ClickChildOf(panel.get(), Ctl<QWidget>(c::kTabAdvanced));
    page = panel->Pages().Existing(velmora::page::kAdvanced);
    ASSERT_NE(page, nullptr);
    for (const auto& list : kLists) {
        auto* combo = PageCtl<platform::ComboBox>(list.id);
        EXPECT_FALSE(combo->IsSorted());
        ASSERT_EQ(combo->GetCount(), kAdvancedListCount);
        for (int i = 0; i < combo->GetCount(); ++i) {
            EXPECT_EQ(combo->GetLBText(i), Text((*list.entries)[static_cast<std::size_t>(i)])) << list.id << " " << i;
        }
        EXPECT_EQ(combo->GetCurSel(), list.initial) << list.id;
    }
    EXPECT_EQ(PageCtl<QLineEdit>(a::kVersionBox)->text(), QString());
    EXPECT_EQ(ReadFrame(), Frame(kAdvancedStatus)) << "the tab asks for the status; the page sends nothing";
    EXPECT_TRUE(LineQuiet());
}

TEST_F(AdvancedPageTest, StatusAnswerFillsEveryControl)
{
    struct Case {
        StatusBytes status;
        bool beep, power;
        int positions[3];  // -1: no selection
        const char* version;
    };
    const Case cases[] = {
        {{0x00, 0x0F, 1, 6, 3, 1, 2}, true, true, {0, 5, 2}, "1.2"},
        {{0x0F, 0xF0, 6, 1, 6, 3, 0, 9}, false, false, {5, 0, 5}, "3.0"},
        {{0x01, 0x00, 0, 7, 0, 255, 255}, false, false, {-1, -1, -1}, "255.255"},
        {{0xF0, 0x0E, 7, 0, 4, 0, 10}, false, false, {-1, -1, 3}, "0.10"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.version);
        Status(AdvancedStatus(k.status));
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
            Choose(list.id, position);
            const auto sent = ReadFrame();
            EXPECT_EQ(sent, Frame(list.setting->set, {{kValueByte, static_cast<std::uint8_t>(position + 1)}}));
            EXPECT_FALSE(panel->Token().Ready()) << "the choice waits for its answer";
            Acknowledge(sent);
        }
    }
}

TEST_F(AdvancedPageTest, ChoicesGoOutByteForByte)
{
    Choose(a::kSerialBaudList, 3);  // "\t38400 \t"
    auto sent = ReadFrame();
    EXPECT_EQ(sent, (Bytes{0x50, 0x56, 0x54, 0x24, 0x51, 0x04, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x73}));
    Acknowledge(sent);
    Choose(a::kSleepTimerList, 5);  // "\t60 minutes\t"
    sent = ReadFrame();
    EXPECT_EQ(sent, (Bytes{0x50, 0x56, 0x54, 0x24, 0x53, 0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x77}));
    Acknowledge(sent);
    Choose(a::kOsdTimeoutList, 0);  // "\t5 seconds  \t", already selected: still a choice
    EXPECT_EQ(ReadFrame(), Frame(kOsdTimeout.set, {{kValueByte, 1}}));
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

TEST_F(AdvancedPageTest, BeepSendsTheOppositeOfItsStatusEncoding)
{
    ASSERT_TRUE(Checked(a::kBeep)) << "status 0 reads as on";
    PageCtl<QAbstractButton>(a::kBeep)->click();
    auto sent = ReadFrame();
    EXPECT_EQ(sent, Frame(kBeep.set, {{kValueByte, 0xF0}}));
    EXPECT_FALSE(panel->Token().Ready());
    Acknowledge(sent);
    EXPECT_TRUE(panel->Token().Ready());
    PageCtl<QAbstractButton>(a::kBeep)->click();
    EXPECT_EQ(ReadFrame(), (Bytes{0x50, 0x56, 0x54, 0x06, 0x01, 0x0F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x10}));
}

TEST_F(AdvancedPageTest, UpgradeScalerWaitsForItsAcknowledgement)
{
    PageCtl<QAbstractButton>(a::kUpgradeScaler)->click();
    const auto sent = ReadFrame();
    EXPECT_EQ(sent, (Bytes{0x50, 0x56, 0x54, 0x07, 0x07, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x08}));
    EXPECT_FALSE(panel->Token().Ready());
    PageCtl<QAbstractButton>(a::kBeep)->click();
    EXPECT_TRUE(LineQuiet()) << "nothing else while the upgrade is unanswered";
    Acknowledge(sent);
    EXPECT_TRUE(panel->Token().Ready());
}

TEST_F(AdvancedPageTest, SwitchingPowerOnAsksNothing)
{
    Status(AdvancedStatus({0x00, 0xF0, 6, 1, 1, 1, 2}));
    ASSERT_FALSE(Checked(a::kPower));
    ModalWatcher watcher([](QWidget* modal) { Dismiss(modal); });
    PageCtl<QAbstractButton>(a::kPower)->click();
    EXPECT_EQ(ReadFrame(), (Bytes{0x50, 0x56, 0x54, 0x08, 0x0B, 0x0F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x1C}));
    EXPECT_TRUE(panel->Token().Ready()) << "free again before the command went";
    EXPECT_EQ(watcher.Seen(), 0);
}

TEST_F(AdvancedPageTest, PowerOffGoesOutOnlyWhenConfirmed)
{
    enum class Close { Ok, CloseButton, Escape };
    for (const Close how : {Close::Ok, Close::CloseButton, Close::Escape}) {
        SCOPED_TRACE(static_cast<int>(how));
        Status(kOnStatus);
        QString asked;
        bool cancelShown = true;
        ModalWatcher watcher([&](QWidget* modal) {
            asked = pages::MessageText();
            auto* box = qobject_cast<pages::CMessageDlg*>(modal);
            cancelShown = box && box->Control(m::kCancel)->isVisible();
            switch (how) {
            case Close::Ok:
                ClickBox(modal, m::kOk);
                break;
            case Close::CloseButton:
                ClickBox(modal, m::kClose);
                break;
            case Close::Escape:
                PressKey(modal, Qt::Key_Escape);
                break;
            }
        });
        PageCtl<QAbstractButton>(a::kPower)->click();
        EXPECT_EQ(watcher.Seen(), 1);
        EXPECT_EQ(asked, "Are you sure you want to power off?");
        EXPECT_FALSE(cancelShown) << "asked without the question mode";
        EXPECT_FALSE(pages::MessageBoxShowing());
        if (how == Close::Ok) {
            EXPECT_EQ(ReadFrame(), Frame(kPower.set, {{kValueByte, 0xF0}}));
        } else {
            EXPECT_TRUE(LineQuiet());
        }
        EXPECT_FALSE(Checked(a::kPower)) << "unchecked until the next status";
        EXPECT_TRUE(panel->Token().Ready());
    }
}

TEST_F(AdvancedPageTest, FactoryResetAsksAsTheMainWindowDoes)
{
    for (const int answer : {m::kCancel, m::kOk}) {
        SCOPED_TRACE(answer);
        QString asked;
        bool remindShown = false;
        ModalWatcher watcher([&](QWidget* modal) {
            asked = pages::MessageText();
            auto* box = qobject_cast<pages::CMessageDlg*>(modal);
            remindShown = box && box->Control(m::kNoLongerRemind)->isVisible() && box->Control(m::kCancel)->isVisible();
            ClickBox(modal, answer);
        });
        PageCtl<QAbstractButton>(a::kFactoryReset)->click();
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
}

TEST_F(AdvancedPageTest, ControlsAreNamedAndOperableByTheirAccessibleActions)
{
    const struct {
        const char* name;
        QAccessible::Role role;
        int id;
    } controls[] = {
        {"Beep", QAccessible::CheckBox, a::kBeep},
        {"Power", QAccessible::CheckBox, a::kPower},
        {"Factory Reset", QAccessible::Button, a::kFactoryReset},
        {"Serial Baudrate", QAccessible::ComboBox, a::kSerialBaudList},
        {"Sleep Timer", QAccessible::ComboBox, a::kSleepTimerList},
        {"OSD Time out", QAccessible::ComboBox, a::kOsdTimeoutList},
        {"Upgrade Scaler", QAccessible::Button, a::kUpgradeScaler},
        {"Hardware  Version", QAccessible::EditableText, a::kVersionBox},
    };
    for (const auto& control : controls) {
        QWidget* widget = nullptr;
        for (auto* child : page->findChildren<QWidget*>()) {
            const QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(child);
            const bool named = accessible->text(QAccessible::Name) == QLatin1String(control.name) ||
                               LabelOf(child) == QLatin1String(control.name);
            if (named && accessible->role() == control.role) {
                EXPECT_EQ(widget, nullptr) << "one " << control.name;
                widget = child;
            }
        }
        EXPECT_EQ(widget, PageCtl<QWidget>(control.id)) << control.name;
    }
    auto* beep = QAccessible::queryAccessibleInterface(PageCtl<QWidget>(a::kBeep))->actionInterface();
    ASSERT_NE(beep, nullptr);
    beep->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(ReadFrame(), Frame(kBeep.set, {{kValueByte, 0xF0}}));
}

// Last: the operator's "No longer remind" stays for the rest of the run.
TEST_F(AdvancedPageTest, FactoryResetGoesAtOnceOnceNoLongerRemindWasTicked)
{
    int questions = 0;
    ModalWatcher watcher([&](QWidget* modal) {
        ++questions;
        ClickBox(modal, m::kNoLongerRemind);
        ClickBox(modal, m::kCancel);
    });
    PageCtl<QAbstractButton>(a::kFactoryReset)->click();
    ASSERT_EQ(questions, 1);
    EXPECT_TRUE(LineQuiet()) << "Cancel sends nothing";
    EXPECT_TRUE(pages::SkipResetConfirm());
    PageCtl<QAbstractButton>(a::kFactoryReset)->click();
    EXPECT_EQ(ReadFrame(), Frame(kAdvancedFactoryReset));
    EXPECT_EQ(questions, 1) << "not asked again";
    EXPECT_FALSE(pages::StatusPopupShowing());
}

}  // namespace velmora::test

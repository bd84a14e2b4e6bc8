// The General page over a pseudo-terminal: the test plays the switcher and
// checks every frame the page sends and how it follows answers.

#include "pages/general_lists.h"
#include "panel_fixture.h"

namespace velmora::test {

using namespace protocol;

namespace {

// Auto switch, input, audio, resolution, aspect ratio, EDID, HDCP.
FrameBytes Status(std::array<std::uint8_t, 7> s)
{
    namespace gs = general_status;
    return MakeFrame(kGeneralStatus, {{gs::kAutoSwitch, s[0]},
                                      {gs::kInput, s[1]},
                                      {gs::kAudio, s[2]},
                                      {gs::kResolution, s[3]},
                                      {gs::kAspectRatio, s[4]},
                                      {gs::kEdid, s[5]},
                                      {gs::kHdcp, s[6]}});
}

QString AudioEntry(int i)
{
    const auto text = pages::general_lists::kAudio[i];
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

class GeneralPageTest : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        Connect();
    }
    // An accepted input change and the two exchanges that follow it; `byte5` is what the request frame held there.
    void ChangeInput(std::function<void()> act, std::uint8_t byte5, std::uint8_t audioSource)
    {
        act();
        ASSERT_EQ(ReadFrame()[kInputByte], byte5);
        Answer(MakeFrame(kSelectInput, {{kInputByte, kInputAccepted}}));
        EXPECT_EQ(ReadFrame(), Frame(kQueryAudioSource, {{kInputByte, byte5}}));
        Answer(MakeFrame(kQueryAudioSource, {{kInputByte, byte5}, {kAudioSourceByte, audioSource}}));
        EXPECT_EQ(ReadFrame(), Frame(kInputChangeDone));
        Answer(MakeFrame(kInputChangeDone));
        EXPECT_TRUE(panel->Token().Ready());
    }
    void ChangeInput(int buttonId, std::uint8_t input, std::uint8_t audioSource)
    {
        ChangeInput([&] { Button(buttonId)->click(); }, input, audioSource);
    }
    int EmbeddedEntries()
    {
        int n = 0;
        for (int i = 0; i < List(c::kAudioList)->GetCount(); ++i) {
            n += List(c::kAudioList)->GetLBText(i) == AudioEntry(0);
        }
        return n;
    }
};

TEST_F(GeneralPageTest, StatusAnswerFillsThePageAndVgaDropsTheEmbeddedEntry)
{
    ASSERT_TRUE(pty->WriteMaster({0x00, 0x13, 0x50, 0x00}));  // noise before a frame is ignored
    Answer(Status({2, kInputDp, 3, 12, 1, 4, 1}));
    EXPECT_EQ(List(c::kAutoSwitchList)->currentText(), "First Connected Mode");
    EXPECT_TRUE(Button(c::kDp)->isChecked());
    EXPECT_FALSE(Button(c::kHdmi1)->isChecked());
    EXPECT_EQ(List(c::kAudioList)->currentText(), AudioEntry(3));
    EXPECT_EQ(List(c::kResolutionList)->currentText(), "AUTO");
    EXPECT_EQ(List(c::kAspectList)->currentText(), "16:9  ");
    EXPECT_EQ(List(c::kEdidList)->currentText(), "EDID AUTO");
    EXPECT_EQ(List(c::kHdcpList)->currentText(), "Pass Through");
    EXPECT_TRUE(panel->Token().Ready());

    Answer(Status({0, kInputVga, 2, 2, 0, 0, 0}));
    EXPECT_TRUE(Button(c::kVga)->isChecked());
    EXPECT_EQ(List(c::kAudioList)->GetLBText(0), AudioEntry(1));
    EXPECT_EQ(List(c::kAudioList)->currentText(), AudioEntry(2));
    EXPECT_EQ(List(c::kResolutionList)->currentText(), "1920x1080@60");
    Answer(Status({0, kInputHdmi2, 0, 0, 0, 0, 0}));
    EXPECT_EQ(EmbeddedEntries(), 1);
    // An unknown input unchecks every button and keeps the one selected.
    Answer(Status({0, 9, 0, 0, 0, 0, 0}));
    for (const int id : c::kInputButtons) {
        EXPECT_FALSE(Button(id)->isChecked());
    }
    EXPECT_EQ(panel->General().SelectedInput(), kInputHdmi2);
}

TEST_F(GeneralPageTest, InputChangeChainKeepsTheEmbeddedEntryExactlyOnceAndTheAudioListSendsItsSource)
{
    for (int round = 0; round < 2; ++round) {
        ChangeInput(c::kVga, kInputVga, 1);
        EXPECT_EQ(EmbeddedEntries(), 0);
        EXPECT_TRUE(Button(c::kVga)->isChecked());
        EXPECT_EQ(List(c::kAudioList)->currentText(), AudioEntry(1));
        // With VGA the list starts at "Ext 1", which means source 1, as for HDMI.
        Choose(c::kAudioList, 0);
        EXPECT_EQ(ReadFrame(), Frame(kSetAudioSource, {{5, kInputVga}, {7, 1}}));
        ChangeInput(c::kHdmi2, kInputHdmi2, 0);
        EXPECT_EQ(EmbeddedEntries(), 1);
        EXPECT_EQ(List(c::kAudioList)->currentText(), AudioEntry(0));
        Choose(c::kAudioList, 1);
        EXPECT_EQ(ReadFrame(), Frame(kSetAudioSource, {{5, kInputHdmi2}, {7, 1}}));
    }
    EXPECT_FALSE(Button(c::kVga)->isChecked());
}

// The switcher accepts an input change after a frame that was none: the
// input is that frame's byte 5, outside 1 to 5. No button and no audio entry
// changes, and the audio query still goes out with that byte.
TEST_F(GeneralPageTest, InputAcceptedAfterAnotherCommandStillAsksForTheAudioSource)
{
    ChangeInput(c::kVga, kInputVga, 1);
    ChangeInput([&] { Choose(c::kResolutionList, 12); }, 13, 1);
    EXPECT_TRUE(Button(c::kVga)->isChecked());
    EXPECT_EQ(EmbeddedEntries(), 0);
}

TEST_F(GeneralPageTest, EachListSendsItsFrameAndFreesTheToken)
{
    const struct {
        int list, position;
        Bytes expected;
    } cases[] = {
        {c::kAutoSwitchList, 3, Frame(kAutoSwitch.set, {{5, 4}})},
        {c::kResolutionList, 12, Frame(kResolution.set, {{5, 13}})},
        {c::kAspectList, 2, Frame(kAspectRatio.set, {{5, 3}})},
        {c::kEdidList, 3, Bytes{0x50, 0x56, 0x54, 0x03, 0x02, 0x04, 0xF0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF3}},
        {c::kHdcpList, 0, Frame(kHdcp.set, {{5, 1}})},
    };
    for (const auto& k : cases) {
        Choose(k.list, k.position);
        EXPECT_EQ(ReadFrame(), k.expected) << "list " << k.list;
        EXPECT_TRUE(panel->Token().Ready());
    }
}

TEST_F(GeneralPageTest, SecondCommandWhileOneWaitsIsDroppedSilentlyAndClearFreesIt)
{
    Button(c::kHdmi2)->click();
    ASSERT_EQ(ReadFrame().size(), kFrameSize);
    EXPECT_FALSE(panel->Token().Ready());
    Button(c::kHdmi3)->click();
    Choose(c::kEdidList, 1);
    EXPECT_TRUE(LineQuiet()) << "nothing goes out while a command waits";
    EXPECT_FALSE(pages::MessageBoxShowing());
    Button(c::kClear)->click();
    EXPECT_TRUE(panel->Token().Ready());
    EXPECT_TRUE(SendLog().isEmpty());
    Button(c::kDp)->click();
    EXPECT_EQ(ReadFrame(), Frame(kSelectInput, {{5, kInputDp}, {7, 1}}));
    // An answer with a bad checksum still gives the token back, and starts no audio query.
    FrameBytes bad = MakeFrame(kSelectInput, {{5, kInputAccepted}});
    bad[kChecksumByte] ^= 0x55;
    Answer(bad);
    EXPECT_TRUE(panel->Token().Ready());
    EXPECT_TRUE(LineQuiet());
}

}  // namespace velmora::test

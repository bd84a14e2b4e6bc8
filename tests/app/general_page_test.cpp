// The General page end to end over a pseudo-terminal: the test plays the
// switcher and checks every frame the page sends and how it follows answers.

#include "appdefs/page_codes.h"
#include "pages/general_lists.h"
#include "panel_fixture.h"

namespace velmora::test {

using namespace protocol;

namespace {

FrameBytes Status(std::uint8_t autoSwitch, std::uint8_t input, std::uint8_t audio, std::uint8_t resolution,
                  std::uint8_t aspect, std::uint8_t edid, std::uint8_t hdcp)
{
    namespace gs = general_status;
    return MakeFrame(kGeneralStatus, {{gs::kAutoSwitch, autoSwitch},
                                      {gs::kInput, input},
                                      {gs::kAudio, audio},
                                      {gs::kResolution, resolution},
                                      {gs::kAspectRatio, aspect},
                                      {gs::kEdid, edid},
                                      {gs::kHdcp, hdcp}});
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
    // An accepted input change and the two exchanges that follow it.
    void ChangeInput(int buttonId, std::uint8_t input, std::uint8_t audioSource)
    {
        Button(buttonId)->click();
        EXPECT_EQ(ReadFrame(), FrameVector(MakeFrame(kSelectInput, {{kInputByte, input}, {7, 1}})));
        Answer(MakeFrame(kSelectInput, {{kInputByte, kInputAccepted}}));
        EXPECT_EQ(ReadFrame(), FrameVector(MakeFrame(kQueryAudioSource, {{kInputByte, input}})));
        Answer(MakeFrame(kQueryAudioSource, {{kInputByte, input}, {kAudioSourceByte, audioSource}}));
        EXPECT_EQ(ReadFrame(), FrameVector(MakeFrame(kInputChangeDone)));
        Answer(MakeFrame(kInputChangeDone));
    }
    int EmbeddedEntries()
    {
        auto* audio = List(c::kAudioList);
        int n = 0;
        for (int i = 0; i < audio->GetCount(); ++i) {
            n += audio->GetLBText(i) == AudioEntry(0);
        }
        return n;
    }
};

TEST_F(GeneralPageTest, StatusAnswerFillsThePage)
{
    Answer(Status(2, kInputDp, 3, 12, 1, 4, 1));
    EXPECT_EQ(List(c::kAutoSwitchList)->currentText(), "First Connected Mode");
    EXPECT_TRUE(Button(c::kDp)->isChecked());
    EXPECT_FALSE(Button(c::kHdmi1)->isChecked());
    EXPECT_EQ(panel->General().SelectedInput(), kInputDp);
    EXPECT_EQ(List(c::kAudioList)->currentText(), AudioEntry(3));
    EXPECT_EQ(List(c::kResolutionList)->currentText(), "AUTO");
    EXPECT_EQ(List(c::kAspectList)->currentText(), "16:9  ");
    EXPECT_EQ(List(c::kEdidList)->currentText(), "EDID AUTO");
    EXPECT_EQ(List(c::kHdcpList)->currentText(), "Pass Through");
    EXPECT_TRUE(panel->Token().Ready());
}

TEST_F(GeneralPageTest, StatusReportingVgaDropsTheEmbeddedEntryAndShiftsTheAudio)
{
    Answer(Status(0, kInputVga, 2, 0, 0, 0, 0));
    EXPECT_TRUE(Button(c::kVga)->isChecked());
    EXPECT_EQ(List(c::kAudioList)->GetLBText(0), AudioEntry(1));
    EXPECT_EQ(List(c::kAudioList)->currentText(), AudioEntry(2));
    Answer(Status(0, kInputHdmi2, 0, 0, 0, 0, 0));
    EXPECT_EQ(List(c::kAudioList)->GetLBText(0), AudioEntry(0));
    EXPECT_EQ(EmbeddedEntries(), 1);
}

TEST_F(GeneralPageTest, StatusWithAnUnknownInputUnchecksEveryButton)
{
    Answer(Status(0, kInputHdmi3, 0, 0, 0, 0, 0));
    Answer(Status(0, 9, 0, 0, 0, 0, 0));
    for (const int id : c::kInputButtons) {
        EXPECT_FALSE(Button(id)->isChecked());
    }
    EXPECT_EQ(panel->General().SelectedInput(), kInputHdmi3);
}

TEST_F(GeneralPageTest, InputChangeChainAndTheEmbeddedEntryExactlyOnce)
{
    for (int round = 0; round < 3; ++round) {
        ChangeInput(c::kVga, kInputVga, 1);
        EXPECT_EQ(EmbeddedEntries(), 0);
        EXPECT_TRUE(Button(c::kVga)->isChecked());
        EXPECT_EQ(List(c::kAudioList)->currentText(), AudioEntry(1));
        ChangeInput(c::kHdmi1, kInputHdmi1, 0);
        EXPECT_EQ(EmbeddedEntries(), 1);
        EXPECT_EQ(List(c::kAudioList)->GetLBText(0), AudioEntry(0));
        EXPECT_EQ(List(c::kAudioList)->currentText(), AudioEntry(0));
    }
    EXPECT_TRUE(Button(c::kHdmi1)->isChecked());
    EXPECT_FALSE(Button(c::kVga)->isChecked());
}

// The switcher accepts an input change after a frame that was none: the
// input is that frame's byte 5, outside 1 to 5. No button and no audio entry
// changes, and the audio query still goes out with that byte.
TEST_F(GeneralPageTest, InputAcceptedAfterAnotherCommandStillAsksForTheAudioSource)
{
    Answer(Status(0, kInputVga, 1, 0, 0, 0, 0));
    const struct {
        int list;  // 0: the page's status query
        int position;
        std::uint8_t byte5;
    } cases[] = {
        {0, 0, 0},
        {c::kResolutionList, 12, 13},
    };
    for (const auto& k : cases) {
        if (k.list == 0) {
            panel->SelectPage(page::kGeneral);
        } else {
            List(k.list)->SetCurSel(k.position);
            emit List(k.list)->activated(k.position);
        }
        ASSERT_EQ(ReadFrame()[kInputByte], k.byte5);
        Answer(MakeFrame(kSelectInput, {{kInputByte, kInputAccepted}}));
        EXPECT_EQ(ReadFrame(), FrameVector(MakeFrame(kQueryAudioSource, {{kInputByte, k.byte5}}))) << int(k.byte5);
        EXPECT_TRUE(Button(c::kVga)->isChecked());
        EXPECT_EQ(EmbeddedEntries(), 0);
        Answer(MakeFrame(kQueryAudioSource, {{kInputByte, k.byte5}, {kAudioSourceByte, 1}}));
        EXPECT_EQ(ReadFrame(), FrameVector(MakeFrame(kInputChangeDone)));
        Answer(MakeFrame(kInputChangeDone));
        EXPECT_TRUE(panel->Token().Ready());
    }
}

TEST_F(GeneralPageTest, EachListSendsItsFrameAndFreesTheToken)
{
    struct Case {
        int list;
        int position;
        FrameBytes expected;
    } cases[] = {
        {c::kAutoSwitchList, 3, MakeFrame(kAutoSwitch.set, {{5, 4}})},
        {c::kResolutionList, 12, MakeFrame(kResolution.set, {{5, 13}})},
        {c::kAspectList, 2, MakeFrame(kAspectRatio.set, {{5, 3}})},
        {c::kEdidList, 3, MakeFrame(kEdid.set, {{5, 4}, {6, kOn}})},
        {c::kHdcpList, 0, MakeFrame(kHdcp.set, {{5, 1}})},
    };
    for (const auto& k : cases) {
        List(k.list)->SetCurSel(k.position);
        emit List(k.list)->activated(k.position);
        EXPECT_EQ(ReadFrame(), FrameVector(k.expected)) << "list " << k.list;
        EXPECT_TRUE(panel->Token().Ready());
    }
    EXPECT_EQ(FrameVector(MakeFrame(kEdid.set, {{5, 4}, {6, kOn}}))[6], 0xF0);
}

TEST_F(GeneralPageTest, AudioListSendsTheSourceValueForTheInput)
{
    ChangeInput(c::kVga, kInputVga, 1);
    // With VGA the list starts at "Ext 1", which means source 1, as for HDMI.
    List(c::kAudioList)->SetCurSel(0);
    emit List(c::kAudioList)->activated(0);
    EXPECT_EQ(ReadFrame(), FrameVector(MakeFrame(kSetAudioSource, {{5, kInputVga}, {7, 1}})));
    ChangeInput(c::kHdmi2, kInputHdmi2, 0);
    List(c::kAudioList)->SetCurSel(1);
    emit List(c::kAudioList)->activated(1);
    EXPECT_EQ(ReadFrame(), FrameVector(MakeFrame(kSetAudioSource, {{5, kInputHdmi2}, {7, 1}})));
}

TEST_F(GeneralPageTest, SecondCommandWhileOneWaitsIsDroppedSilentlyAndClearFreesIt)
{
    Button(c::kHdmi2)->click();
    ASSERT_EQ(ReadFrame().size(), kFrameSize);
    EXPECT_FALSE(panel->Token().Ready());
    Button(c::kHdmi3)->click();
    List(c::kEdidList)->SetCurSel(1);
    emit List(c::kEdidList)->activated(1);
    EXPECT_TRUE(LineQuiet()) << "nothing goes out while a command waits";
    EXPECT_FALSE(pages::MessageBoxShowing());

    Button(c::kClear)->click();
    EXPECT_TRUE(panel->Token().Ready());
    EXPECT_TRUE(SendLog().isEmpty());
    Button(c::kHdmi3)->click();
    EXPECT_EQ(ReadFrame(), FrameVector(MakeFrame(kSelectInput, {{5, kInputHdmi3}, {7, 1}})));
}

TEST_F(GeneralPageTest, AnswerWithABadChecksumStillGivesTheTokenBack)
{
    Button(c::kDp)->click();
    ASSERT_EQ(ReadFrame().size(), kFrameSize);
    FrameBytes bad = MakeFrame(kSelectInput, {{5, kInputAccepted}});
    bad[kChecksumByte] ^= 0x55;
    Answer(bad);
    EXPECT_TRUE(panel->Token().Ready());
    EXPECT_TRUE(LineQuiet()) << "a damaged answer starts no audio query";
}

TEST_F(GeneralPageTest, NoiseBeforeAFrameIsIgnored)
{
    ASSERT_TRUE(pty->WriteMaster({0x00, 0x13, 0x50, 0x00}));
    Answer(Status(1, kInputHdmi2, 0, 2, 0, 0, 0));
    EXPECT_TRUE(Button(c::kHdmi2)->isChecked());
    EXPECT_EQ(List(c::kResolutionList)->currentText(), "1920x1080@60");
}

}  // namespace velmora::test

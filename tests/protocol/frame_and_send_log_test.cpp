// The command frame, its checksum, the send path's routing and the send log.

#include "protocol_helpers.h"

#include "protocol/commands.h"
#include "protocol/send_path.h"

#include <gtest/gtest.h>

namespace velmora::protocol {
namespace {

class RecordingSink : public FrameSink {
public:
    void Write(std::span<const std::uint8_t> bytes) override { writes.emplace_back(bytes.begin(), bytes.end()); }
    std::vector<Bytes> writes;
};

struct SendFixture : ::testing::Test {
    StringLog view;
    SendLog log{view};
    RecordingSink serial, tcp;
    bool comMode = true;
    SendPath send{log, [this] { return comMode; }, serial, tcp};
};

const char* const kStatusLine = "50 56 54 27 01 00 00 00 00 00 00 00 00 00 00 00 00 22 \r\n";

TEST(CommandFrame, FramesAndChecksumsKeptToEightBits)
{
    EXPECT_EQ(Concat(MakeFrame(kSelectInput, {{kInputByte, kInputDp}, {7, kSelectInputByte7}})),
              FromHex("50 56 54 02 03 04 00 01 00 00 00 00 00 00 00 00 00 04"));
    EXPECT_EQ(FrameChecksum({}), 0);
    EXPECT_EQ(FrameChecksum(FromHex("99")), 0);
    EXPECT_EQ(FrameChecksum(FromHex("FF 02 77")), 0x01);
}

TEST_F(SendFixture, ResetFrameGoesOutShortWithoutChecksumAndShiftsTheLogLines)
{
    send.Frame().Begin(kSelectInput);
    send.Frame().Set(12, 0xAB);  // left over from an earlier command
    send.Frame().Set(kChecksumByte, 0x5A);
    BuildFactoryReset(send.Frame());
    send.SendFrame(kResetFrameSize);
    ASSERT_EQ(serial.writes.size(), 1u);
    EXPECT_EQ(serial.writes[0], FromHex("50 56 54 02 03 03 00 01 00 00 00 00 00"));
    EXPECT_EQ(send.Frame().At(kChecksumByte), 0x5A) << "a 13-byte send must not touch the checksum byte";
    send.Send(kGeneralStatus);
    // The second line starts with the sixth byte of the second frame.
    EXPECT_EQ(view.text, "50 56 54 02 03 03 00 01 00 00 00 00 00 50 56 54 27 01 \r\n"
                         "00 00 00 00 00 00 00 00 00 00 00 00 22 ");
    EXPECT_EQ(log.LoggedBytes(), 13);
}

TEST_F(SendFixture, RouteFollowsTheModeAtTheMomentOfSending)
{
    send.Send(kGeneralStatus);
    comMode = false;
    send.Send(kAudioStatus);
    ASSERT_EQ(serial.writes.size(), 1u);
    ASSERT_EQ(tcp.writes.size(), 1u);
    EXPECT_EQ(tcp.writes[0], FromHex("50 56 54 27 03 00 00 00 00 00 00 00 00 00 00 00 00 24"));
    EXPECT_EQ(view.text, std::string(kStatusLine) + "50 56 54 27 03 00 00 00 00 00 00 00 00 00 00 00 00 24 \r\n");
}

TEST_F(SendFixture, SixtiethSendEmptiesTheLogAndTheSixtyFirstStartsAnew)
{
    BuildFactoryReset(send.Frame());
    send.SendFrame(kResetFrameSize);  // the line position is off by 13 from here on
    for (int i = 1; i < kLogEntriesBeforeClear; ++i) {
        send.Send(kGeneralStatus);
    }
    EXPECT_EQ(view.text, "");
    EXPECT_EQ(view.clears, 1);
    EXPECT_EQ(log.Sends(), 0);
    send.Send(kGeneralStatus);
    // The line count continues where it stood: 13 bytes into a line.
    EXPECT_EQ(view.text, "50 56 54 27 01 \r\n00 00 00 00 00 00 00 00 00 00 00 00 22 ");
}

}  // namespace
}  // namespace velmora::protocol

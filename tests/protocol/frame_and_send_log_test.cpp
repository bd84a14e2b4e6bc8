// The command frame, its checksum, the send path's routing and the send log.

#include "protocol/commands.h"
#include "protocol/send_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace velmora::protocol;

namespace {

class StringLog : public LogView {
public:
    void Append(std::string_view t) override { text += t; }
    void Clear() override
    {
        text.clear();
        ++clears;
    }
    std::string text;
    int clears = 0;
};

class RecordingSink : public FrameSink {
public:
    void Write(std::span<const std::uint8_t> bytes) override { writes.emplace_back(bytes.begin(), bytes.end()); }
    std::vector<std::vector<std::uint8_t>> writes;
};

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values)
{
    std::vector<std::uint8_t> out;
    for (int v : values) {
        out.push_back(static_cast<std::uint8_t>(v));
    }
    return out;
}

struct SendFixture : ::testing::Test {
    StringLog view;
    SendLog log{view};
    RecordingSink serial, tcp;
    bool comMode = true;
    SendPath send{log, [this] { return comMode; }, serial, tcp};
};

}  // namespace

TEST(CommandFrame, InputSelectForDpKeepsTheChecksumToEightBits)
{
    const auto frame = MakeFrame(kSelectInput, {{kInputByte, kInputDp}, {7, kSelectInputByte7}});
    EXPECT_EQ(std::vector<std::uint8_t>(frame.begin(), frame.end()),
              Bytes({0x50, 0x56, 0x54, 0x02, 0x03, 0x04, 0x00, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x04}));
}

TEST(CommandFrame, GeneralStatusQuery)
{
    const auto frame = MakeFrame(kGeneralStatus);
    EXPECT_EQ(std::vector<std::uint8_t>(frame.begin(), frame.end()),
              Bytes({0x50, 0x56, 0x54, 0x27, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x22}));
}

TEST(CommandFrame, ChecksumOfShortAndEmptyBlocks)
{
    EXPECT_EQ(FrameChecksum({}), 0);
    const std::uint8_t one[] = {0x99};
    EXPECT_EQ(FrameChecksum(one), 0);
    const std::uint8_t three[] = {0xFF, 0x02, 0x77};
    EXPECT_EQ(FrameChecksum(three), 0x01);
}

TEST_F(SendFixture, ShortResetFrameGoesOutWithoutChecksum)
{
    auto& frame = send.Frame();
    frame.Begin(kSelectInput);
    frame.Set(12, 0xAB);  // left over from an earlier command
    frame.Set(kChecksumByte, 0x5A);
    frame.BeginShort(kFactoryReset);
    frame.Set(kFirstParam, kFactoryResetByte5);
    frame.Set(7, kFactoryResetByte7);
    send.SendFrame(kResetFrameSize);
    ASSERT_EQ(serial.writes.size(), 1u);
    EXPECT_EQ(serial.writes[0], Bytes({0x50, 0x56, 0x54, 0x02, 0x03, 0x03, 0x00, 0x01, 0, 0, 0, 0, 0}));
    EXPECT_EQ(frame.At(kChecksumByte), 0x5A) << "a 13-byte send must not touch the checksum byte";
}

TEST_F(SendFixture, RouteFollowsTheModeAtTheMomentOfSending)
{
    send.Send(kGeneralStatus);
    comMode = false;
    send.Send(kAudioStatus);
    ASSERT_EQ(serial.writes.size(), 1u);
    ASSERT_EQ(tcp.writes.size(), 1u);
    EXPECT_EQ(tcp.writes[0][kClassByte], 0x27);
    EXPECT_EQ(tcp.writes[0][kCommandByte], 0x03);
    EXPECT_EQ(tcp.writes[0].size(), kFrameSize);
}

TEST_F(SendFixture, TwoFramesMakeTwoLinesOfEighteenGroups)
{
    send.Send(kGeneralStatus);
    send.Send(kGeneralStatus);
    const std::string line = "50 56 54 27 01 00 00 00 00 00 00 00 00 00 00 00 00 22 \r\n";
    EXPECT_EQ(view.text, line + line);
}

TEST_F(SendFixture, ShortFrameShiftsTheNextFrameAlongTheLine)
{
    send.Frame().BeginShort(kFactoryReset);
    send.Frame().Set(kFirstParam, kFactoryResetByte5);
    send.Frame().Set(7, kFactoryResetByte7);
    send.SendFrame(kResetFrameSize);
    send.Send(kGeneralStatus);
    const std::string first = "50 56 54 02 03 03 00 01 00 00 00 00 00 50 56 54 27 01 \r\n";
    const std::string second = "00 00 00 00 00 00 00 00 00 00 00 00 22 ";
    EXPECT_EQ(view.text, first + second) << "the second line starts with the sixth byte of the second frame";
    EXPECT_EQ(log.LoggedBytes(), 13);
}

TEST_F(SendFixture, SixtiethSendEmptiesTheLogAndTheSixtyFirstStartsAnew)
{
    send.Frame().BeginShort(kFactoryReset);
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

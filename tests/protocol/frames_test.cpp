// The command frame, the send path's routing and log, the assembly of
// replies from the serial line and the TCP stream, and their dispatch.

#include "appdefs/page_codes.h"
#include "protocol/commands.h"
#include "protocol/reply_assembly.h"
#include "protocol/reply_dispatch.h"
#include "protocol/send_path.h"
#include "protocol_helpers.h"

#include <gtest/gtest.h>

#include <numeric>

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

using Frames = std::vector<FrameBytes>;

const FrameBytes kStatus = MakeFrame(kGeneralStatus, {{6, 2}, {7, 1}});
const FrameBytes kAudio = MakeFrame(kQueryAudioSource, {{7, 3}});
const FrameBytes kTricky = MakeFrame(kGeneralStatus, {{8, kStart0}, {9, kStart1}});

FrameBytes Frame(const Bytes& bytes)
{
    FrameBytes frame{};
    std::copy_n(bytes.begin(), kFrameSize, frame.begin());
    return frame;
}

FrameHandler Into(Frames& frames)
{
    return [&frames](std::span<const std::uint8_t, kFrameSize> f) { frames.push_back(Frame({f.begin(), f.end()})); };
}

// A byte stream and the frames each assembler makes of it. The serial line
// takes the 16 bytes after any "PV" or FE EF; the stream wants "PVT".
struct Stream {
    const char* what;
    Bytes bytes;
    Frames serial;
    Frames stream;
};

std::vector<Stream> Streams()
{
    const Bytes falseStart{0x50, 0x56, 0x01, 0x02};
    const Bytes noPvt{0x50, 0x56, 0x00, 0x50, 0x13};
    Bytes alternative{0x33, kAltStart0, kAltStart1};
    alternative.resize(alternative.size() + 16, 0x01);
    Bytes hundred(2000, 0xAA);
    Frames hundredFrames;
    for (int i = 0; i < 100; ++i) {
        hundredFrames.push_back(i % 2 ? kStatus : kAudio);
        hundred = Concat(hundred, hundredFrames.back());
    }
    return {
        {"noise before a frame", Concat(Bytes{0x00, 0x11}, kStatus), {kStatus}, {kStatus}},
        {"a start pair inside a frame", Concat(kTricky, kAudio), {kTricky, kAudio}, {kTricky, kAudio}},
        {"a false start", Concat(falseStart, kStatus), {Frame(Concat(falseStart, kStatus))}, {kStatus}},
        {"PV without T", Concat(noPvt, kAudio), {Frame(Concat(noPvt, kAudio))}, {kAudio}},
        {"the alternative start", alternative, {Frame({alternative.begin() + 1, alternative.end()})}, {}},
        // Positions 2..254 take 253 noise bytes, 'P' lands on 255 and 'V' on 2 of the serial scan.
        {"a start pair across the scan's wrap",
         Concat(Bytes(253, 0x01), Bytes{kStart0, kStart1}, kAudio),
         {kAudio},
         {kAudio}},
        {"a long burst of noise, then frames", hundred, hundredFrames, hundredFrames},
    };
}

TEST(Assembly, EachStreamGivesItsFramesWhateverThePieces)
{
    for (const Stream& s : Streams()) {
        SCOPED_TRACE(s.what);
        Frames serial;
        SerialReplyAssembler line(Into(serial));
        for (const std::uint8_t b : s.bytes) {
            line.OnByte(b);
        }
        EXPECT_EQ(serial, s.serial);
        for (const std::size_t piece : {std::size_t{1}, std::size_t{10}, std::size_t{25}, s.bytes.size()}) {
            SCOPED_TRACE(piece);
            Frames stream;
            StreamReplyAssembler tcp(Into(stream));
            for (std::size_t at = 0; at < s.bytes.size(); at += piece) {
                tcp.OnData(std::span(s.bytes).subspan(at, std::min(piece, s.bytes.size() - at)));
            }
            EXPECT_EQ(stream, s.stream);
            EXPECT_LT(tcp.Buffered(), kFrameSize);
        }
    }
}

TEST(Assembly, ResetDropsAPartlyCollectedFrame)
{
    Frames serial, stream;
    SerialReplyAssembler line(Into(serial));
    StreamReplyAssembler tcp(Into(stream));
    for (std::size_t i = 0; i < 10; ++i) {
        line.OnByte(kStatus[i]);
    }
    tcp.OnData(std::span(kStatus).first(10));
    ASSERT_TRUE(line.Synchronised());
    line.Reset();
    tcp.Reset();
    EXPECT_FALSE(line.Synchronised());
    std::for_each(kAudio.begin(), kAudio.end(), [&](std::uint8_t b) { line.OnByte(b); });
    tcp.OnData(kAudio);
    EXPECT_EQ(serial, Frames{kAudio});
    EXPECT_EQ(stream, Frames{kAudio});
}

// A handler that brings the rest of the stream in while it handles a frame,
// as one that runs a nested event loop does.
TEST(Assembly, AHandlerFeedingDataInReEntrantlySeesEveryFrameOnce)
{
    Bytes stream;
    for (std::uint8_t i = 0; i < 120; ++i) {
        stream = Concat(stream, MakeFrame(kGeneralStatus, {{kLastParam, i}}));
    }
    std::vector<int> seen;
    std::size_t fed = 0;
    StreamReplyAssembler* self = nullptr;
    const auto feedNext = [&](StreamReplyAssembler& into) {  // 25 bytes: odd-sized, to split frames
        const std::size_t n = std::min<std::size_t>(25, stream.size() - fed);
        fed += n;
        into.OnData(std::span(stream).subspan(fed - n, n));
    };
    StreamReplyAssembler assembler([&](std::span<const std::uint8_t, kFrameSize> f) {
        seen.push_back(f[kLastParam]);
        if (fed < stream.size()) {
            feedNext(*self);
        }
    });
    self = &assembler;
    fed = 1500;  // more than one read: the rest of it must still come before what handlers feed
    assembler.OnData(std::span(stream).first(fed));
    while (fed < stream.size()) {
        feedNext(assembler);
    }
    std::vector<int> expected(120);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(assembler.Buffered(), 0u);
}

struct Receiver : ReplyReceiver {
    void HandleReply(std::span<const std::uint8_t, kFrameSize>) override { ++seen; }
    int seen = 0;
};

TEST(Dispatch, RoutesByTheSelectedPageAndAlwaysGivesTheTokenBack)
{
    StringLog view;
    ReceiveLog log(view);
    LinkToken token;
    ReplyDispatcher dispatcher(log, token);
    Receiver general, video;
    dispatcher.SetReceiver(velmora::page::kGeneral, &general);
    dispatcher.SetReceiver(velmora::page::kVideo, &video);

    ASSERT_TRUE(token.Take());
    dispatcher.DispatchReply(kStatus);
    EXPECT_EQ(general.seen, 1);
    EXPECT_TRUE(token.Ready());

    FrameBytes bad = kStatus;
    bad[kChecksumByte] ^= 0xFF;
    ASSERT_TRUE(token.Take());
    dispatcher.DispatchReply(bad);
    EXPECT_EQ(general.seen, 1) << "a frame with a wrong checksum reaches no page";
    EXPECT_TRUE(token.Ready()) << "but gives the token back";

    dispatcher.SetCurrentPage(velmora::page::kVideo);
    dispatcher.DispatchReply(kStatus);
    EXPECT_EQ(video.seen, 1);
    dispatcher.SetCurrentPage(velmora::page::kAudio);  // no receiver yet
    dispatcher.DispatchReply(kStatus);
    EXPECT_EQ(log.Frames(), 4);
    EXPECT_EQ(view.text.substr(0, 56), "50 56 54 27 01 00 02 01 00 00 00 00 00 00 00 00 00 25 \r\n");
}

// Frames and search datagrams alike are entries of the log, which empties at the sixtieth.
TEST(Dispatch, ReceiveLogEmptiesAfterSixtyEntries)
{
    // Three characters a byte, a line break after every 18th.
    const std::pair<std::size_t, std::size_t> datagrams[] = {{0, 0}, {1, 3}, {18, 56}, {50, 154}, {1024, 3184}};
    for (const auto& [size, textSize] : datagrams) {
        SCOPED_TRACE(size);
        StringLog view;
        ReceiveLog log(view);
        log.AppendFrame(kStatus);
        log.AppendDatagram(Bytes(size, 0x77));
        EXPECT_EQ(log.Frames(), 2);
        EXPECT_EQ(view.text.size(), 56 + textSize);
        for (int i = 2; i < kLogEntriesBeforeClear; ++i) {
            i % 2 ? log.AppendFrame(kStatus) : log.AppendDatagram(Bytes(size, 0x77));
        }
        EXPECT_EQ(view.text, "");
        EXPECT_EQ(log.Frames(), 0);
        log.AppendFrame(kAudio);
        EXPECT_EQ(log.Frames(), 1);
    }
}

}  // namespace
}  // namespace velmora::protocol

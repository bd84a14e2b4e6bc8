// Assembly of replies from the serial line and from the TCP stream, and the
// dispatch of every frame to the selected page.

#include "appdefs/page_codes.h"
#include "protocol/commands.h"
#include "protocol/reply_assembly.h"
#include "protocol/reply_dispatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace velmora::protocol;

namespace {

using Frames = std::vector<FrameBytes>;

struct Collect {
    Frames frames;
    FrameHandler Handler()
    {
        return [this](std::span<const std::uint8_t, kFrameSize> f) {
            FrameBytes copy;
            std::copy(f.begin(), f.end(), copy.begin());
            frames.push_back(copy);
        };
    }
};

std::vector<std::uint8_t> Concat(std::initializer_list<std::vector<std::uint8_t>> parts)
{
    std::vector<std::uint8_t> out;
    for (const auto& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

std::vector<std::uint8_t> V(const FrameBytes& f) { return {f.begin(), f.end()}; }

const FrameBytes kStatus = MakeFrame(kGeneralStatus, {{6, 2}, {7, 1}});
const FrameBytes kAudio = MakeFrame(kQueryAudioSource, {{7, 3}});

}  // namespace

class SerialAssembly : public testing::Test {
protected:
    void Feed(const std::vector<std::uint8_t>& bytes)
    {
        for (const std::uint8_t b : bytes) {
            assembler.OnByte(b);
        }
    }

    Collect got;
    SerialReplyAssembler assembler{got.Handler()};
};

TEST_F(SerialAssembly, NoiseBeforeAFrameIsDiscarded)
{
    Feed(Concat({{0x00, 0x11}, V(kStatus)}));
    EXPECT_EQ(got.frames, Frames{kStatus});
}

TEST_F(SerialAssembly, AStartPairInsideAFrameDoesNotRestartIt)
{
    const FrameBytes tricky = MakeFrame(kGeneralStatus, {{8, kStart0}, {9, kStart1}});
    Feed(Concat({V(tricky), V(kAudio)}));
    EXPECT_EQ(got.frames, (Frames{tricky, kAudio}));
}

TEST_F(SerialAssembly, AlternativeStartIsRecognised)
{
    std::vector<std::uint8_t> bytes{0x33, kAltStart0, kAltStart1};
    bytes.resize(bytes.size() + 16, 0x01);
    Feed(bytes);
    ASSERT_EQ(got.frames.size(), 1u);
    EXPECT_EQ(got.frames[0][0], kAltStart0);
    EXPECT_EQ(got.frames[0][1], kAltStart1);
}

TEST_F(SerialAssembly, StartPairStraddlingTheScanWrapIsNotRecognised)
{
    // Positions 2..254 take 253 noise bytes, 'P' lands on 255, 'V' on 2.
    for (int i = 0; i < 253; ++i) {
        assembler.OnByte(0x01);
    }
    assembler.OnByte(kStart0);
    assembler.OnByte(kStart1);
    EXPECT_FALSE(assembler.Synchronised());
    // The hunt goes on normally afterwards.
    Feed(V(kAudio));
    EXPECT_EQ(got.frames, Frames{kAudio});
}

TEST_F(SerialAssembly, FalseStartInNoiseYieldsAFrameThatFailsItsChecksum)
{
    Feed(Concat({{0x50, 0x56, 0x01, 0x02}, V(kStatus)}));
    ASSERT_GE(got.frames.size(), 1u);
    EXPECT_FALSE(ChecksumMatches(got.frames[0]));
}

TEST_F(SerialAssembly, ResetDropsAPartlyCollectedFrame)
{
    for (std::size_t i = 0; i < 10; ++i) {
        assembler.OnByte(kStatus[i]);
    }
    ASSERT_TRUE(assembler.Synchronised());
    assembler.Reset();
    EXPECT_FALSE(assembler.Synchronised());
    Feed(V(kAudio));
    EXPECT_EQ(got.frames, Frames{kAudio});
}

TEST(StreamAssembly, TenPlusEightGiveOneFrame)
{
    Collect got;
    StreamReplyAssembler assembler(got.Handler());
    const auto bytes = V(kStatus);
    assembler.OnData(std::span(bytes).first(10));
    EXPECT_TRUE(got.frames.empty());
    assembler.OnData(std::span(bytes).subspan(10));
    EXPECT_EQ(got.frames, Frames{kStatus});
}

TEST(StreamAssembly, TenPlusTwentyAndTwoInOneWriteGiveEveryFrame)
{
    Collect got;
    StreamReplyAssembler assembler(got.Handler());
    const auto two = Concat({V(kStatus), V(kAudio)});
    assembler.OnData(std::span(two).first(10));
    assembler.OnData(std::span(two).subspan(10, 20));
    assembler.OnData(std::span(two).subspan(30));
    assembler.OnData(two);
    EXPECT_EQ(got.frames, (Frames{kStatus, kAudio, kStatus, kAudio}));
    EXPECT_EQ(assembler.Buffered(), 0u);
}

TEST(StreamAssembly, GarbageThenAFrameGivesTheFrame)
{
    Collect got;
    StreamReplyAssembler assembler(got.Handler());
    const auto bytes = Concat({{0x50, 0x56, 0x00, 0x50, 0x13}, V(kAudio)});
    for (std::uint8_t b : bytes) {  // one byte a read: the worst split
        assembler.OnData(std::span(&b, 1));
    }
    EXPECT_EQ(got.frames, Frames{kAudio});
}

TEST(StreamAssembly, LargeBurstsNeitherOverflowNorLoseFrames)
{
    Collect got;
    StreamReplyAssembler assembler(got.Handler());
    std::vector<std::uint8_t> burst(2000, 0xAA);
    assembler.OnData(burst);
    EXPECT_LE(assembler.Buffered(), 2u);
    std::vector<std::uint8_t> frames;
    for (int i = 0; i < 100; ++i) {
        const auto f = V(i % 2 ? kStatus : kAudio);
        frames.insert(frames.end(), f.begin(), f.end());
    }
    assembler.OnData(frames);
    EXPECT_EQ(got.frames.size(), 100u);
    EXPECT_LE(assembler.Buffered(), StreamReplyAssembler::kBufferSize);
}

// A handler that brings the rest of the stream in while it handles a frame,
// as one that runs a nested event loop does.
TEST(StreamAssembly, AHandlerFeedingDataInReEntrantlySeesEveryFrameOnce)
{
    std::vector<std::uint8_t> stream;
    for (std::uint8_t i = 0; i < 120; ++i) {
        const auto f = V(MakeFrame(kGeneralStatus, {{kLastParam, i}}));
        stream.insert(stream.end(), f.begin(), f.end());
    }
    std::vector<int> seen;
    std::size_t fed = 0;
    StreamReplyAssembler* self = nullptr;
    StreamReplyAssembler assembler([&](std::span<const std::uint8_t, kFrameSize> f) {
        seen.push_back(f[kLastParam]);
        // Feed the next 25 bytes from inside the handler, odd-sized to split frames.
        if (fed < stream.size()) {
            const std::size_t n = std::min<std::size_t>(25, stream.size() - fed);
            const std::span<const std::uint8_t> next(stream.data() + fed, n);
            fed += n;
            self->OnData(next);
        }
    });
    self = &assembler;
    fed = 1500;  // more than one read: the rest of it must still come before what handlers feed
    assembler.OnData(std::span<const std::uint8_t>(stream.data(), fed));
    while (fed < stream.size()) {  // whatever the handlers did not feed
        const std::size_t n = std::min<std::size_t>(25, stream.size() - fed);
        const std::span<const std::uint8_t> next(stream.data() + fed, n);
        fed += n;
        assembler.OnData(next);
    }
    ASSERT_EQ(seen.size(), 120u);
    for (int i = 0; i < 120; ++i) {
        EXPECT_EQ(seen[static_cast<std::size_t>(i)], i);
    }
    EXPECT_EQ(assembler.Buffered(), 0u);
}

namespace {

class StringLog : public LogView {
public:
    void Append(std::string_view t) override { text += t; }
    void Clear() override { text.clear(); }
    std::string text;
};

struct Receiver : ReplyReceiver {
    void HandleReply(std::span<const std::uint8_t, kFrameSize>) override { ++seen; }
    int seen = 0;
};

}  // namespace

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

TEST(Dispatch, ReceiveLogEmptiesAfterSixtyFrames)
{
    StringLog view;
    ReceiveLog log(view);
    for (int i = 0; i < kLogEntriesBeforeClear; ++i) {
        log.AppendFrame(kStatus);
    }
    EXPECT_EQ(view.text, "");
    log.AppendFrame(kAudio);
    EXPECT_EQ(log.Frames(), 1);
}

TEST(Dispatch, EachSearchDatagramIsOneOfTheSixtyEntries)
{
    struct Case {
        std::size_t size;
        std::size_t textSize;  // three characters a byte, a line break after every 18th
    };
    const Case cases[] = {{0, 0}, {1, 3}, {18, 56}, {50, 154}, {1024, 3072 + 2 * 56}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        StringLog view;
        ReceiveLog log(view);
        const std::vector<std::uint8_t> datagram(c.size, 0x77);
        log.AppendFrame(kStatus);
        log.AppendDatagram(datagram);
        EXPECT_EQ(log.Frames(), 2);
        EXPECT_EQ(view.text.size(), 56 + c.textSize);
        for (int i = 2; i < kLogEntriesBeforeClear; ++i) {
            log.AppendDatagram(datagram);
        }
        EXPECT_EQ(view.text, "") << "emptied at the sixtieth entry, frames and datagrams alike";
        EXPECT_EQ(log.Frames(), 0);
    }
}

// The simulated switcher's device model under any sequence of commands and
// factory resets: every command gets at most one answer, a whole frame that
// repeats the command's class and command bytes with a correct checksum; a
// command it does not answer changes nothing; and the status of every page
// can be asked for at any time.
// Input: records of one mode byte (0xFF a factory reset, even: the next 14
// bytes as class, command and parameters of a frame with its checksum, odd:
// the next 18 bytes as they are).

#include "check.h"

#include "protocol/commands.h"
#include "protocol/frame.h"
#include "sim/device_model.h"

#include <algorithm>
#include <cstring>

using namespace velmora::protocol;
using velmora::sim::DeviceModel;

namespace {

constexpr std::uint8_t kResetRecord = 0xFF;

void RequireAnswers(std::span<const std::uint8_t, kFrameSize> command, const std::vector<FrameBytes>& answers)
{
    FUZZ_REQUIRE(answers.size() <= 1);
    for (const FrameBytes& answer : answers) {
        FUZZ_REQUIRE(StartsFrame(answer));
        FUZZ_REQUIRE(ChecksumMatches(answer));
        FUZZ_REQUIRE(answer[kClassByte] == command[kClassByte] && answer[kCommandByte] == command[kCommandByte]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    DeviceModel model;
    for (std::size_t pos = 0; pos < size;) {
        const std::uint8_t mode = data[pos++];
        if (mode == kResetRecord) {
            model.FactoryReset();
            continue;
        }
        FrameBytes frame{};
        if (mode % 2 == 0) {
            const std::size_t n = std::min<std::size_t>(kFrameSize - 3 - 1, size - pos);
            CommandFrame built;
            std::memcpy(built.Data() + 3, data + pos, n);
            built.Seal();
            frame = built.Bytes();
            pos += n;
        } else {
            const std::size_t n = std::min(kFrameSize, size - pos);
            std::memcpy(frame.data(), data + pos, n);
            pos += n;
        }
        const auto before = model.GetState();
        const auto answers = model.Handle(frame);
        RequireAnswers(frame, answers);
        if (answers.empty()) {
            FUZZ_REQUIRE(model.GetState() == before);
        }
    }
    for (const Command status : {kGeneralStatus, kVideoStatus, kAudioStatus, kNetworkStatus, kAdvancedStatus}) {
        const FrameBytes query = MakeFrame(status);
        const auto answers = model.Handle(query);
        FUZZ_REQUIRE(answers.size() == 1);
        RequireAnswers(query, answers);
    }
    return 0;
}

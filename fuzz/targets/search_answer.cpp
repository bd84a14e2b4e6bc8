// A search datagram of any size and content: read as a switcher's answer
// exactly when it is at least 50 bytes long with the marker, the addresses
// taken from their places; logged as one receive-log entry of three
// characters a byte with a line break after every 18th, the log emptied at
// the 60th entry whatever the datagrams' sizes.

#include "check.h"

#include "protocol/hex_log.h"
#include "protocol/search_answer.h"

#include <algorithm>
#include <string>

using namespace velmora::protocol;
namespace s = velmora::protocol::search;

namespace {

class StringView : public LogView {
public:
    void Append(std::string_view t) override { text += t; }
    void Clear() override { text.clear(); }
    std::string text;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> datagram(data, size);
    const auto answer = ReadSearchAnswer(datagram);
    const bool marked = size >= s::kAnswerMinSize && data[s::kMarkerHigh] == s::kMarkerHighValue &&
                        data[s::kMarkerLow] == s::kMarkerLowValue;
    FUZZ_REQUIRE(answer.has_value() == marked);
    if (answer) {
        FUZZ_REQUIRE(std::equal(answer->mac.begin(), answer->mac.end(), data + s::kMac));
        FUZZ_REQUIRE(std::equal(answer->ip.begin(), answer->ip.end(), data + s::kIp));
        FUZZ_REQUIRE(MacText(answer->mac).size() == 2 * kMacSize);
    }

    StringView view;
    ReceiveLog log(view);
    log.AppendDatagram(datagram);
    FUZZ_REQUIRE(view.text.size() == 3 * size + 2 * (size / kSendLogBytesPerLine));
    FUZZ_REQUIRE(log.Frames() == 1);
    for (int entry = 2; entry < kLogEntriesBeforeClear; ++entry) {
        log.AppendDatagram({});
    }
    log.AppendDatagram(datagram);  // the sixtieth entry, whatever its size
    FUZZ_REQUIRE(view.text.empty() && log.Frames() == 0);
    return 0;
}

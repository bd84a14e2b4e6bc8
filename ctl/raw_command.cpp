// velmoractl raw: one frame from hex, its checksum added, and the answer.

#include "cli_error.h"
#include "commands.h"

#include "protocol/frame_meaning.h"
#include "protocol/hex_log.h"
#include "protocol/hex_text.h"

#include <cctype>

namespace velmora::cli {

namespace p = velmora::protocol;

namespace {

// Class, command and the twelve parameters.
constexpr std::size_t kMaxBodyBytes = p::kChecksumByte - p::kClassByte;

std::vector<std::uint8_t> HexBytes(const std::vector<std::string>& words)
{
    std::u16string digits;
    for (const std::string& word : words) {
        for (const char ch : word) {
            if (!std::isxdigit(static_cast<unsigned char>(ch))) {
                throw CliError(kExitUsage, "raw: '" + word + "' is not hexadecimal");
            }
            digits += static_cast<char16_t>(ch);
        }
        if (word.size() % 2 != 0) {
            throw CliError(kExitUsage, "raw: '" + word + "' is not whole bytes (two digits each)");
        }
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        bytes.push_back(p::ReadHexByte(std::u16string_view(digits).substr(i, 2)).value_or(0));
    }
    return bytes;
}

p::FrameBytes FrameOf(std::vector<std::uint8_t> bytes)
{
    if (p::StartsFrame(bytes)) {
        bytes.erase(bytes.begin(), bytes.begin() + p::kClassByte);
        if (bytes.size() == kMaxBodyBytes + 1) {
            bytes.pop_back();  // a checksum given: it is made again
        }
    }
    if (bytes.size() < 2 || bytes.size() > kMaxBodyBytes) {
        throw CliError(kExitUsage, "raw wants a class and a command byte and at most twelve parameter bytes");
    }
    p::CommandFrame frame;
    frame.Begin({bytes[0], bytes[1]});
    for (std::size_t i = 2; i < bytes.size(); ++i) {
        frame.Set(p::kClassByte + i, bytes[i]);
    }
    frame.Seal();
    return frame.Bytes();
}

std::string Hex(std::span<const std::uint8_t> bytes)
{
    std::string text = p::HexBytes(bytes);
    if (!text.empty()) {
        text.pop_back();
    }
    return text;
}

}  // namespace

void CheckRaw(const Options& options) { FrameOf(HexBytes(options.words)); }

Json RunRaw(const Options& options, Exchange& exchange)
{
    const p::FrameBytes frame = FrameOf(HexBytes(options.words));
    const p::FrameBytes answer = exchange.AskAny(frame);
    Json out = Json::Object();
    out.Add("sent", Json::Text(Hex(frame)));
    out.Add("sent-meaning", Json::Text(p::DescribeFrame(frame, p::Direction::Sent)));
    out.Add("answer", Json::Text(Hex(answer)));
    out.Add("meaning", Json::Text(p::DescribeFrame(answer, p::Direction::Received)));
    return out;
}

}  // namespace velmora::cli

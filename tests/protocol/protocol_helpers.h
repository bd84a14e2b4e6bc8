#pragma once
// Bytes written as hex text, and a log view that keeps what it shows.

#include "protocol/hex_log.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace velmora::protocol {

using Bytes = std::vector<std::uint8_t>;

inline Bytes FromHex(const std::string& hex)
{
    Bytes bytes;
    std::istringstream in(hex);
    for (unsigned byte = 0; in >> std::hex >> byte;) {
        bytes.push_back(static_cast<std::uint8_t>(byte));
    }
    return bytes;
}

template <typename... Parts>
Bytes Concat(const Parts&... parts)
{
    Bytes out;
    (out.insert(out.end(), std::begin(parts), std::end(parts)), ...);
    return out;
}

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

}  // namespace velmora::protocol

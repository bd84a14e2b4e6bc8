#pragma once
// The switcher's network module over TCP.

#include "link.h"

#include "protocol/reply_assembly.h"

#include <memory>

namespace velmora::cli {

class TcpLink : public Link {
public:
    // `host` is ADDRESS[:PORT] (port 8000 by default). Throws CliError:
    // usage for a bad text, unreachable when refused or not reached in time.
    static std::unique_ptr<TcpLink> Open(const std::string& host, int timeoutMs);

private:
    TcpLink(int fd, std::string name);
    void Feed(std::span<const std::uint8_t> bytes) override { assembler_.OnData(bytes); }

    protocol::StreamReplyAssembler assembler_;
};

}  // namespace velmora::cli

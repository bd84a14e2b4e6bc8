#include "sim/command_session.h"

namespace velmora::sim {

std::vector<Chunk> CommandSession::Feed(std::span<const std::uint8_t> bytes, Clock::time_point now)
{
    return Process(framer_.Feed(bytes, now));
}

std::vector<Chunk> CommandSession::Idle(Clock::time_point now) { return Process(framer_.Idle(now)); }

std::optional<CommandSession::Clock::time_point> CommandSession::NextDeadline() const
{
    if (!framer_.Waiting()) {
        return std::nullopt;
    }
    return framer_.GapEnds();
}

std::vector<Chunk> CommandSession::Process(const std::vector<InputEvent>& events)
{
    std::vector<Chunk> out;
    for (const InputEvent& event : events) {
        if (event.kind == InputEvent::Kind::FactoryReset) {
            // The reset is not answered: the panel repeats it on its own.
            device_.FactoryReset();
            ++resets_;
            continue;
        }
        for (const auto& answer : device_.Handle(event.frame)) {
            ++answered_;
            if (auto bytes = faults_.Shape(answer)) {
                out.push_back(std::move(*bytes));
            }
        }
    }
    return out;
}

}  // namespace velmora::sim

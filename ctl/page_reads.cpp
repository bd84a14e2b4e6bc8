#include "page_reads.h"

#include "cli_error.h"
#include "commands.h"

namespace velmora::cli {

namespace p = velmora::protocol;

Json ValueJson(const p::NamedSetting& setting, const p::SettingValue& value)
{
    switch (p::TypeOf(setting)) {
    case p::ValueType::Number:
        return Json::Number(value.number);
    case p::ValueType::OnOff:
        return Json::Bool(value.number != 0);
    case p::ValueType::Text:
        break;
    }
    return Json::Text(p::ValueText(setting, value));
}

Json ReadPage(Exchange& exchange, protocol::SettingPage page)
{
    Json values = Json::Object();
    for (const p::Command query : p::PageQueries(page)) {
        const p::FrameBytes answer = exchange.Ask(p::MakeFrame(query));
        for (const p::NamedSetting& setting : p::AllSettings()) {
            if (setting.page == page && setting.answer == query) {
                values.Add(std::string(setting.name), ValueJson(setting, p::ReadStatus(setting, answer)));
            }
        }
    }
    return values;
}

p::SettingValue ReadSetting(Exchange& exchange, const p::NamedSetting& setting)
{
    return p::ReadStatus(setting, exchange.Ask(p::MakeFrame(setting.answer)));
}

Json RunStatus(const Options& options, Exchange& exchange)
{
    if (options.words.size() > 1) {
        throw CliError(kExitUsage, "status takes one page: general, video, audio, advanced, network or all");
    }
    const std::string which = options.words.empty() ? "general" : options.words.front();
    if (which == "all") {
        Json pages = Json::Object();
        for (const p::PageInfo& info : p::AllPages()) {
            pages.Add(std::string(info.name), ReadPage(exchange, info.page));
        }
        return pages;
    }
    const p::PageInfo* info = p::FindPage(which);
    if (!info) {
        throw CliError(kExitUsage, "no page '" + which + "': general, video, audio, advanced, network or all");
    }
    return ReadPage(exchange, info->page);
}

}  // namespace velmora::cli

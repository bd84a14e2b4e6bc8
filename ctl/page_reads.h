#pragma once
// Reading settings as the pages do: a page's status query (or the Network
// page's read chain) and the value of one setting in it.

#include "exchange.h"
#include "json.h"

#include "protocol/setting_names.h"

namespace velmora::cli {

// Every setting of the page by name.
Json ReadPage(Exchange& exchange, protocol::SettingPage page);
// One setting's value as its page's answer reports it.
protocol::SettingValue ReadSetting(Exchange& exchange, const protocol::NamedSetting& setting);
// A value as it is printed: a number, on/off (true/false in JSON) or a text.
Json ValueJson(const protocol::NamedSetting& setting, const protocol::SettingValue& value);

}  // namespace velmora::cli

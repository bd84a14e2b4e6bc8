#include "app/port_list_refresh.h"

#include "platform/combo_box.h"
#include "transport/port_holders.h"

#include <QString>

#include <algorithm>
#include <exception>
#include <memory>
#include <utility>

namespace velmora::app {

using transport::DiscoveryRoots;
using transport::EnumerateSerialPorts;
using transport::HolderWatch;
using transport::PortNumberFromFriendlyName;
using transport::PortNumberFromText;
using transport::SSerInfo;

namespace {

struct Entry {
    std::uint8_t number;
    QString toolTip;
};

QString EntryText(std::uint8_t number) { return QStringLiteral("COM%1").arg(number); }

QString ToolTip(const SSerInfo& port) { return QString::fromStdString(port.devicePath + "\n" + port.description); }

// Ascending; equal numbers keep the order in which they were found.
void InsertionSort(std::vector<Entry>& entries)
{
    for (std::size_t i = 1; i < entries.size(); ++i) {
        Entry moving = std::move(entries[i]);
        std::size_t j = i;
        for (; j > 0 && entries[j - 1].number > moving.number; --j) {
            entries[j] = std::move(entries[j - 1]);
        }
        entries[j] = std::move(moving);
    }
}

}  // namespace

PortListRefresh::PortListRefresh(platform::ComboBox& list) : PortListRefresh(list, DiscoveryRoots{}) {}

PortListRefresh::PortListRefresh(platform::ComboBox& list, DiscoveryRoots roots)
    : PortListRefresh(
          list, [roots = std::move(roots), watch = std::make_shared<HolderWatch>()](std::vector<SSerInfo>& ports) {
              EnumerateSerialPorts(ports, true, roots, watch.get());
          })
{}

PortListRefresh::PortListRefresh(platform::ComboBox& list, Enumerator enumerate)
    : list_(list), enumerate_(std::move(enumerate))
{}

void PortListRefresh::Refresh()
{
    std::vector<SSerInfo> ports;
    try {
        enumerate_(ports);
    } catch (const std::exception& error) {
        lastSucceeded_ = false;
        lastError_ = error.what();
        return;
    }
    lastSucceeded_ = true;
    lastError_.clear();

    // The numbers in the order found.
    std::vector<Entry> found;
    const std::size_t count = std::min<std::size_t>(ports.size(), kMaxListedPorts);
    found.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        found.push_back({PortNumberFromFriendlyName(ports[i].friendlyName), ToolTip(ports[i])});
    }

    if (found.empty()) {
        if (list_.GetCount() > 0 || !list_.currentText().isEmpty()) {
            list_.ResetContent();
        }
        previous_.fill(0);
        previousCount_ = 0;
        return;
    }

    bool changed = static_cast<int>(found.size()) != previousCount_;
    for (std::size_t i = 0; !changed && i < found.size(); ++i) {
        changed = found[i].number != previous_[i];
    }
    if (!changed) {
        return;
    }

    InsertionSort(found);

    const int selected = list_.GetCurSel();
    const QString selectedText = list_.currentText();
    auto kept = found.end();
    if (selected >= 0 && !selectedText.isEmpty()) {
        const std::uint8_t number = PortNumberFromText(selectedText.toStdString());
        kept = std::find_if(found.begin(), found.end(), [number](const Entry& e) { return e.number == number; });
    }
    if (kept != found.end()) {
        for (int i = list_.GetCount() - 1; i > selected; --i) {
            list_.DeleteString(i);
        }
        for (int i = selected - 1; i >= 0; --i) {
            list_.DeleteString(i);
        }
        int position = 0;
        for (auto it = found.begin(); it != kept; ++it, ++position) {
            list_.InsertString(position, EntryText(it->number));
            list_.setItemData(position, it->toolTip, Qt::ToolTipRole);
        }
        list_.setItemData(position, kept->toolTip, Qt::ToolTipRole);
        for (auto it = kept + 1; it != found.end(); ++it) {
            const int at = list_.InsertString(-1, EntryText(it->number));
            list_.setItemData(at, it->toolTip, Qt::ToolTipRole);
        }
    } else {
        list_.ResetContent();
        for (const auto& entry : found) {
            const int at = list_.InsertString(-1, EntryText(entry.number));
            list_.setItemData(at, entry.toolTip, Qt::ToolTipRole);
        }
        list_.SetCurSel(0);
    }

    previous_.fill(0);
    for (std::size_t i = 0; i < found.size(); ++i) {
        previous_[i] = found[i].number;
    }
    previousCount_ = static_cast<int>(found.size());
}

}  // namespace velmora::app

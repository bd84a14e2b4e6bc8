#pragma once
// Config... as an operator goes through it: the dialog, a static address,
// Send, the "Configuring" popup until the switcher is found again, its
// success and its close. The clock is the manual one.

#include "script.h"

#include "app/main_window.h"
#include "app/network_config_dialog.h"
#include "appdefs/timer_ids.h"
#include "gui_helpers.h"
#include "pages/progress_popup.h"
#include "platform/ip_address_edit.h"
#include "platform/timers.h"
#include "res/config_ids.h"
#include "res/main_ids.h"
#include "res/status_ids.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <gtest/gtest.h>

namespace velmora::test {

inline app::CNetworkConfigDlg* OpenConfigDialog()
{
    return qobject_cast<app::CNetworkConfigDlg*>(QApplication::activeModalWidget());
}

inline QString PopupText()
{
    auto* popup = pages::OpenStatusPopup();
    return popup ? popup->ControlAs<QLabel>(ctl::status::kText)->text() : QString();
}

// Config... on the selected entry with the static address `ip`, until the
// popup has closed after the success; the dialog must name `target`.
inline void ConfigureStatic(app::CVelmoraDlg& panel, const std::array<std::uint8_t, 4>& ip, const QString& target = {})
{
    constexpr int kPopupStepMs = 900;
    bool sawConfiguring = false;
    Script script;
    script
        .When(
            "the dialog opens", [] { return OpenConfigDialog() != nullptr; },
            [ip, target] {
                auto* dialog = OpenConfigDialog();
                EXPECT_TRUE(dialog->ControlAs<QLabel>(ctl::config::kTarget)->text().contains(target));
                dialog->ControlAs<QAbstractButton>(ctl::config::kStatic)->click();
                dialog->ControlAs<platform::IpAddressEdit>(ctl::config::kIp)->SetOctets(ip);
                dialog->ControlAs<QAbstractButton>(ctl::config::kSend)->click();
            })
        .When(
            "the switcher is found again",
            [&] {
                sawConfiguring = sawConfiguring || PopupText().startsWith("Configuring");
                return pages::StatusPopupShowing() && panel.TimerRunning(timer::kSearchSuccess);
            },
            [&] {
                platform::TimerScheduler::Instance().Advance(kPopupStepMs);
                EXPECT_EQ(PopupText(), "Configure successfully!");
                auto* popup = pages::OpenStatusPopup();
                EXPECT_TRUE(popup && popup->Control(ctl::status::kCheckMark)->isVisible());
                EXPECT_FALSE(panel.TimerRunning(timer::kConfigTimeout)) << "success ends the time-out";
                platform::TimerScheduler::Instance().Advance(kPopupStepMs);
                EXPECT_FALSE(pages::StatusPopupShowing()) << "closed 0.9 s after the success";
            });
    script.Start();
    panel.ControlAs<QAbstractButton>(ctl::main::kConfig)->click();
    ASSERT_TRUE(PumpUntil([&] { return script.Finished() && !pages::StatusPopupShowing(); }));
    EXPECT_TRUE(sawConfiguring);
}

}  // namespace velmora::test

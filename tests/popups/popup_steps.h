#pragma once
// Runs a test step inside a popup's modal loop: scheduled before the loop is
// entered, it runs once the popup is open (bounded by the script's limit).

#include "pages/message_box.h"
#include "pages/progress_popup.h"
#include "script.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <functional>
#include <memory>

namespace velmora::test {

template <class Popup>
std::unique_ptr<Script> WhenOpen(Popup* (*open)(), std::function<void(Popup*)> step)
{
    auto script = std::make_unique<Script>(5000);
    script->When(
        "the popup opens", [open] { return open() && open()->isVisible(); }, [open, step] { step(open()); });
    script->Start();
    return script;
}

inline auto WhenMessageBoxOpen(std::function<void(pages::CMessageDlg*)> step)
{
    return WhenOpen(&pages::OpenMessageBox, std::move(step));
}

inline auto WhenStatusOpen(std::function<void(pages::CStatusDlg*)> step)
{
    return WhenOpen(&pages::OpenStatusPopup, std::move(step));
}

// Visible top-level windows of type T.
template <class T>
int VisibleWindows()
{
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        count += qobject_cast<T*>(w) && w->isVisible();
    }
    return count;
}

}  // namespace velmora::test

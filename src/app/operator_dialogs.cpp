#include "app/operator_dialogs.h"

#include "pages/message_box.h"
#include "pages/progress_popup.h"

namespace velmora::app {

ConnectionHooks MakeDialogHooks()
{
    ConnectionHooks hooks;
    hooks.showMessage = [](const QString& text) {
        pages::MessageText() = text;
        pages::ShowMessage();
    };
    hooks.confirmFactoryReset = [] { return pages::ConfirmFactoryReset(); };
    hooks.showStatus = [](const QString& text) {
        pages::StatusText() = text;
        pages::ShowStatus();
    };
    hooks.closeStatus = [] { pages::CloseStatus(); };
    hooks.finishStatus = [](const QString& text) {
        pages::StatusText() = text;
        if (pages::StatusPopupShowing()) {
            pages::FinishStatus();
        }
    };
    return hooks;
}

}  // namespace velmora::app

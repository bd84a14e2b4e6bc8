#pragma once
// What a page window needs of the main window: the shared frame buffer, the
// command token, the connection check, the reply dispatcher it registers
// with, and the window its send requests go to.

#include "protocol/frame.h"
#include "protocol/link_token.h"
#include "protocol/reply_dispatch.h"

#include <functional>

namespace velmora::platform {
class Window;
}

namespace velmora::pages {

struct PageHost {
    platform::Window& mainWindow;  // takes SendRequest
    protocol::CommandFrame& frame;
    protocol::LinkToken& token;
    protocol::ReplyDispatcher& dispatcher;
    // Takes the token, or shows why the link is not there and refuses.
    std::function<bool()> checkConnection;
    // The transport of the chosen control mode is open; shows nothing.
    std::function<bool()> linkOpen;
};

}  // namespace velmora::pages

#pragma once
// The General page: input buttons and the audio, switching, output, EDID and
// HDCP lists, whose controls belong to the main window itself.

#include "protocol/reply_dispatch.h"
#include "protocol/send_path.h"

#include <cstdint>
#include <functional>

namespace velmora::platform {
class ComboBox;
class Window;
}  // namespace velmora::platform

namespace velmora::pages {

class GeneralPage : public protocol::ReplyReceiver {
public:
    // checkConnection takes the command token, or shows why not.
    GeneralPage(platform::Window& window, protocol::SendPath& send, protocol::LinkToken& token,
                std::function<bool()> checkConnection);

    void FillLists();
    // Control notifications of the page; false for a control not its own.
    bool OnCommand(int id);

    void HandleReply(std::span<const std::uint8_t, protocol::kFrameSize> frame) override;

    std::uint32_t SelectedInput() const { return selectedInput_; }

private:
    // Sends a command the operator asked for; one that waits for no answer frees the token.
    void Send(protocol::Command command, std::initializer_list<std::pair<std::size_t, std::uint8_t>> params,
              protocol::Answer answer);
    void OnInputClicked(std::uint8_t input);
    void OnAudioChanged();
    void OnListChanged(int id);
    void OnClear();
    void HandleStatus(std::span<const std::uint8_t, protocol::kFrameSize> frame);
    void SelectFromStatus(int listId, std::span<const std::uint8_t, protocol::kFrameSize> frame);
    void HandleInputAccepted();
    void HandleAudioSource(std::span<const std::uint8_t, protocol::kFrameSize> frame);
    // The audio list has no embedded entry while VGA is the input.
    void ShapeAudioList(std::uint8_t input);
    void MarkInput(std::uint8_t input);
    int AudioPosition(std::uint8_t audioValue, std::uint8_t input) const;
    platform::ComboBox* List(int id) const;

    platform::Window& window_;
    protocol::SendPath& send_;
    protocol::LinkToken& token_;
    std::function<bool()> checkConnection_;
    std::uint32_t selectedInput_ = 0;
};

}  // namespace velmora::pages

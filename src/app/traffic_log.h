#pragma once
// The traffic log window: every frame sent and received, search and
// configuration answers and the connection's events, one line each with a
// millisecond time, its direction, its bytes and what they mean. It watches
// only while it is shown; it keeps at most kTrafficLogMaxLines lines.

#include "protocol/traffic.h"

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace velmora::app {

inline constexpr char kTrafficLogTitle[] = "Traffic Log";
inline constexpr char kTrafficLogShortcut[] = "Ctrl+L";
inline constexpr int kTrafficLogMaxLines = 5000;
inline constexpr char kPauseText[] = "Pause";
inline constexpr char kClearText[] = "Clear";
inline constexpr char kCopyText[] = "Copy";
inline constexpr char kSaveText[] = "Save...";

class TrafficLogWindow : public QWidget, public protocol::TrafficObserver {
    Q_OBJECT
public:
    explicit TrafficLogWindow(QWidget* parent);

    void FrameSent(std::span<const std::uint8_t> bytes) override;
    void FrameReceived(std::span<const std::uint8_t> bytes) override;
    void DatagramReceived(protocol::DatagramKind kind, std::span<const std::uint8_t> bytes) override;
    void ConnectionEvent(std::string_view text) override;

    QString Text() const;
    int Lines() const;
    void SetPaused(bool paused);
    void Clear();
    // The selection, or everything when nothing is selected, to the clipboard.
    void Copy();
    // False, with the reason, when the file cannot be written.
    bool SaveTo(const QString& path, QString* error = nullptr);

signals:
    void watchingChanged(bool watching);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Add(const char* what, std::span<const std::uint8_t> bytes, const std::string& meaning);
    void AddLine(const QString& line);
    void AskWhereToSave();
    QPushButton* AddButton(const char* text);

    QPlainTextEdit* view_;
    QPushButton* pause_ = nullptr;
    bool paused_ = false;
    int passedOver_ = 0;
};

}  // namespace velmora::app

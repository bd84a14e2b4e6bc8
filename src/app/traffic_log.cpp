#include "app/traffic_log.h"

#include "platform/system_message.h"
#include "protocol/frame_meaning.h"
#include "protocol/hex_log.h"

#include <QClipboard>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::app {

namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 420;
constexpr char kTimeFormat[] = "HH:mm:ss.zzz";
constexpr char kSaveCaption[] = "Save Traffic Log";
constexpr char kSaveName[] = "velmora-traffic.txt";
constexpr char kSaveFilter[] = "Text files (*.txt);;All files (*)";
// The direction column, padded to one width.
constexpr char kSent[] = "send  ";
constexpr char kReceived[] = "recv  ";
constexpr char kDatagram[] = "lan   ";
constexpr char kEvent[] = "link  ";

QString Now() { return QDateTime::currentDateTime().toString(QString::fromLatin1(kTimeFormat)); }

}  // namespace

TrafficLogWindow::TrafficLogWindow(QWidget* parent) : QWidget(parent, Qt::Window), view_(new QPlainTextEdit(this))
{
    setWindowTitle(QString::fromLatin1(kTrafficLogTitle));
    resize(kWidth, kHeight);
    view_->setReadOnly(true);
    view_->setMaximumBlockCount(kTrafficLogMaxLines);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view_->setAccessibleName(QString::fromLatin1(kTrafficLogTitle));

    auto* buttons = new QHBoxLayout;
    pause_ = AddButton(kPauseText);
    pause_->setCheckable(true);
    connect(pause_, &QPushButton::toggled, this, &TrafficLogWindow::SetPaused);
    connect(AddButton(kClearText), &QPushButton::clicked, this, &TrafficLogWindow::Clear);
    connect(AddButton(kCopyText), &QPushButton::clicked, this, &TrafficLogWindow::Copy);
    connect(AddButton(kSaveText), &QPushButton::clicked, this, &TrafficLogWindow::AskWhereToSave);
    for (QPushButton* button : findChildren<QPushButton*>()) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
    layout->addLayout(buttons);
}

QPushButton* TrafficLogWindow::AddButton(const char* text)
{
    auto* button = new QPushButton(QString::fromLatin1(text), this);
    button->setAutoDefault(false);
    return button;
}

void TrafficLogWindow::FrameSent(std::span<const std::uint8_t> bytes)
{
    Add(kSent, bytes, protocol::DescribeFrame(bytes, protocol::Direction::Sent));
}

void TrafficLogWindow::FrameReceived(std::span<const std::uint8_t> bytes)
{
    Add(kReceived, bytes, protocol::DescribeFrame(bytes, protocol::Direction::Received));
}

void TrafficLogWindow::DatagramReceived(protocol::DatagramKind kind, std::span<const std::uint8_t> bytes)
{
    Add(kDatagram, bytes, protocol::DescribeDatagram(bytes, kind));
}

void TrafficLogWindow::ConnectionEvent(std::string_view text)
{
    AddLine(Now() + "  " + kEvent + QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void TrafficLogWindow::Add(const char* what, std::span<const std::uint8_t> bytes, const std::string& meaning)
{
    if (paused_) {
        ++passedOver_;
        return;
    }
    AddLine(Now() + "  " + what + QString::fromStdString(protocol::HexBytes(bytes)) + " " +
            QString::fromStdString(meaning));
}

void TrafficLogWindow::AddLine(const QString& line)
{
    if (paused_) {
        ++passedOver_;
        return;
    }
    view_->appendPlainText(line);
}

QString TrafficLogWindow::Text() const { return view_->toPlainText(); }

int TrafficLogWindow::Lines() const { return view_->document()->isEmpty() ? 0 : view_->blockCount(); }

void TrafficLogWindow::SetPaused(bool paused)
{
    if (paused == paused_) {
        return;
    }
    paused_ = paused;
    pause_->setChecked(paused);
    if (!paused && passedOver_ > 0) {
        AddLine(Now() + "  " + kEvent + QStringLiteral("%1 entries passed over while paused").arg(passedOver_));
        passedOver_ = 0;
    }
}

void TrafficLogWindow::Clear()
{
    view_->clear();
    passedOver_ = 0;
}

void TrafficLogWindow::Copy()
{
    const QString selected = view_->textCursor().selectedText();
    // A selection spanning lines comes with paragraph separators.
    QGuiApplication::clipboard()->setText(
        selected.isEmpty() ? Text() : QString(selected).replace(QChar::ParagraphSeparator, '\n'));
}

bool TrafficLogWindow::SaveTo(const QString& path, QString* error)
{
    QFile file(path);
    const QByteArray text = (Text() + '\n').toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text) || file.write(text) != text.size()) {
        if (error) {
            *error = path + ": " + file.errorString();
        }
        return false;
    }
    return true;
}

void TrafficLogWindow::AskWhereToSave()
{
    const QString path = QFileDialog::getSaveFileName(this, QString::fromLatin1(kSaveCaption),
                                                      QString::fromLatin1(kSaveName), QString::fromLatin1(kSaveFilter));
    QString error;
    if (!path.isEmpty() && !SaveTo(path, &error)) {
        platform::ShowSystemMessage(error);
    }
}

void TrafficLogWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    emit watchingChanged(true);
}

void TrafficLogWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    emit watchingChanged(false);
}

}  // namespace velmora::app

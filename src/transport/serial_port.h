#pragma once
// The serial port: opens and configures a COM port, runs one worker thread
// that does all I/O on it, hands every received byte to its owner window and
// writes the frames the send path queues.
//
// Threads: OpenPort, StartWorker, QueueWrite, RequestClose and the destructor
// run on the owner's (main) thread; the worker ("velmora-serial") does every
// read and write.
//
// Messages to the owner: SerialByte (wParam byte, lParam port number), one
// per byte in arrival order; after the bytes of each read one message per
// configured event bit (CTS 0x08, break 0x40, line error 0x80, ring 0x100,
// event character 0x02, in that order). All that one read brought is handed
// over in one blocking send and handled on the owner's thread message by
// message; the worker reads on only once the owner has handled it all;
// SerialFailed (wParam 1, lParam 0), posted once a session when the port
// fails or a command handed to it cannot be taken.
//
// Every message of a session goes through the session's delivery gate.
// RequestClose closes it, so a worker waiting for the owner is released at
// once, and nothing of that session (byte, event or failure) is handled by
// the owner after RequestClose returned.

#include "messaging/message.h"
#include "transport/serial_line_settings.h"
#include "transport/serial_lock.h"
#include "transport/serial_messages.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class QObject;

namespace velmora::transport {

inline constexpr std::uint32_t kEventRxChar = 0x01;
inline constexpr std::uint32_t kEventEventChar = 0x02;
inline constexpr std::uint32_t kEventCts = 0x08;
inline constexpr std::uint32_t kEventBreak = 0x40;
inline constexpr std::uint32_t kEventLineError = 0x80;
inline constexpr std::uint32_t kEventRing = 0x100;

// The most one read takes from the port, and so the most one hand-off
// to the owner carries.
inline constexpr std::size_t kSerialReadChunk = 256;
// Frames waiting for the worker; a frame queued while this many wait is
// refused, and the port reported failed.
inline constexpr std::size_t kMaxQueuedWrites = 64;
// How long one frame may take to go out before the port counts as failed.
inline constexpr int kWriteTimeoutMs = 1000;
// The worker thread's name, as debuggers and /proc show it.
inline constexpr char kSerialWorkerName[] = "velmora-serial";
// Set to trace failing configuration steps to stderr.
inline constexpr const char* kSerialTraceEnv = "VELMORA_SERIAL_TRACE";

class CSerialPort {
public:
    CSerialPort();
    virtual ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Ends the session before (joining its worker), then opens COM
    // 'portNumber' exclusively and configures it. False, with nothing left
    // open, when the number names no device or the device cannot be opened or
    // is held by another program. A failing configuration step does not fail
    // the open. 'writeBufferSize' is counted in two-byte units: a frame longer
    // than twice it is dropped.
    bool OpenPort(QObject* owner, int portNumber, unsigned baud, char parity, int dataBits, int stopBits,
                  std::uint32_t eventMask, std::uint32_t writeBufferSize, std::uint32_t lineControl);
    // Starts the worker of the open port; false when none is open, one runs
    // already or the thread cannot be created.
    bool StartWorker();
    // Copies one frame into the write queue and returns at once; true when
    // it was taken. The worker writes queued frames even while the far end
    // keeps talking. Refused while no port is open (or closing); within a
    // session a frame too long or beyond a full queue is refused and
    // SerialFailed posted, so no command is ever lost unseen.
    bool QueueWrite(const std::uint8_t* bytes, std::size_t length);
    // Stops delivery to the owner, tells the worker to close the port and
    // returns at once. Without a worker the port is closed here.
    void RequestClose();

    bool IsOpen() const;
    bool WorkerAlive() const;
    std::string DevicePath() const;
    int PortNumber() const { return portNumber_; }

private:
    enum class WriteResult { Written, Shutdown, Failed };

    void WorkerLoop();
    bool OnPortReady(short revents);  // false: the port failed
    bool WritesWaiting();
    void WriteQueued();
    WriteResult WriteWhole(const std::vector<std::uint8_t>& frame);
    void PortFailed();
    void PostFailed();
    void ClosePort();
    void EndSession();
    void DropQueuedWrites();

    QObject* owner_ = nullptr;
    int portNumber_ = 0;
    std::uint32_t eventMask_ = 0;
    // Sent after the bytes of each read, from the event mask.
    std::vector<std::uint32_t> eventMessages_;
    std::size_t maxFrameBytes_ = 0;
    std::string devicePath_;

    // The device and its locks. Touched by the worker while it runs, by the
    // main thread only when no worker runs.
    int fd_ = -1;
    SerialLock lock_;
    std::atomic<bool> open_{false};

    // Signalled by RequestClose; the worker's first priority.
    int shutdownFd_ = -1;
    // Signalled by QueueWrite; the worker then writes every queued frame.
    int writeFd_ = -1;

    std::thread worker_;
    std::atomic<bool> alive_{false};
    // Worker only: false once the port failed; nothing more is read or written.
    bool portUsable_ = true;

    // The session's gate, and the lock that orders "gate still open? then
    // post SerialFailed" against RequestClose's closing of it.
    std::shared_ptr<messaging::DeliveryGate> gate_;
    std::mutex postMutex_;
    bool failureReported_ = false;  // under postMutex_

    // Frames from QueueWrite to the worker. The worker takes a frame out
    // before it writes it, so a frame being written is never touched again.
    std::mutex writeMutex_;
    std::deque<std::vector<std::uint8_t>> writes_;
    bool acceptingWrites_ = false;
};

}  // namespace velmora::transport

#pragma once
// Everything the simulator can be told at start.

#include <string>

namespace velmora::sim {

inline constexpr unsigned kDefaultBaud = 115200;
inline constexpr int kDefaultProcessingDelayMs = 2;
inline constexpr int kDefaultTcpPort = 8000;
inline constexpr const char* kLoopback = "127.0.0.1";
inline constexpr int kNoClass = -1;

struct SimOptions {
    unsigned baud = kDefaultBaud;  // until the Advanced page's baud command changes it
    int processingDelayMs = kDefaultProcessingDelayMs;  // before each answer

    bool pty = true;
    std::string portDir;  // with comNumber > 0: portDir/com<N> links to the pty slave
    int comNumber = 0;

    bool tcp = true;
    std::string tcpBind = kLoopback;
    int tcpPort = kDefaultTcpPort;  // 0 = any free port

    // The search (probe 0x61) and network configuration datagrams: those
    // broadcast on any interface, and with udpBind those sent to that address.
    // Neither takes a port from a panel on the same machine: a socket bound
    // to the broadcast address gets no unicast answers, and udpBind must be
    // an address of the switcher's own, not the wildcard.
    bool udp = false;
    bool udpBroadcast = true;
    std::string udpBind;  // empty: broadcasts only
    int searchPort = -1;  // -1 = the switcher's own port, 0 = any free port
    int configPort = -1;  // likewise

    // Faults, 0 = off. Answers are counted over the whole run, both lines.
    int dropEvery = 0;  // every n-th answer is not sent
    int dropClass = kNoClass;  // answers of this class byte are never sent
    int delayEvery = 0;  // every n-th answer waits delayMs more
    int delayMs = 0;
    int corruptEvery = 0;  // every n-th answer goes out with a wrong checksum
    int noiseBytes = 0;  // this many noise bytes go out before every answer
    int hangUpAfter = 0;  // pty: the line hangs up (master and kept slave closed) after n answers
    int closeTcpAfter = 0;  // TCP: the connection is closed after n answers on it
    bool splitTcp = false;  // TCP: every answer is written in two pieces
    bool coalesceTcp = false;  // TCP: answers are written two at a time in one write
    // TCP: the send buffer of a panel's connection in bytes, 0 = the system's.
    // A small one backs answers up after a few kilobytes when the panel does
    // not read them (tests of a panel that stops reading).
    int tcpSendBuffer = 0;
    // A mixer audio volume above the audio volume goes unanswered, as some
    // firmware might do (by default it is clamped and echoed).
    bool dropMixerOverVolume = false;
};

}  // namespace velmora::sim

#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "Amplifier.h"

namespace velmora::sim
{

// Ways to make the virtual amplifier misbehave, to see what the editor does.
struct Faults
{
    std::map<std::string, int> dropFirst; // address -> sends to leave unanswered
    std::set<std::string> ignore;         // addresses never answered
    std::set<std::string> wrongCount;     // answered with one argument too few
    int answerDelayMs = 0;                // every answer this late
    bool silent = false;                  // answers nothing, streams nothing
};

// One line of the log: every message the amplifier receives.
struct LogEntry
{
    long long ms = 0;   // since the simulator started
    std::string sender; // dotted address
    std::string address;
    std::string arguments; // type tags, then the values: ",iis 3 0 \"Club\""
};

std::string formatArguments(const char* data, std::size_t size);

// What a simulator has received, for tests to read; any thread.
class MessageLog
{
public:
    void add(LogEntry entry);
    // Every entry, or those of one address.
    std::vector<LogEntry> entries() const;
    std::vector<LogEntry> entries(const std::string& address) const;
    void clear();

private:
    mutable std::mutex mutex;
    std::vector<LogEntry> list;
};

// The virtual amplifier on the network: bound to port 3456 of one address,
// answering the editor, streaming meters after a meter request, and
// announcing itself until an editor goes online with it.
class UdpAmpSim
{
public:
    struct Options
    {
        std::string bindAddress = "0.0.0.0";
        int port = 3456;
        std::string announceTo; // send "/info" here every second until online
        std::string logPath;    // append the log here as well ("-": stdout)
        int meterPeriodMs = 50;
        int meterRunMs = 4000; // a stream ends on its own unless renewed
        int peakEveryMs = 2500;
        Faults faults;
    };

    UdpAmpSim(Amplifier& amplifier, Options options);
    ~UdpAmpSim();

    bool isBound() const { return bound; }

    void setSilent(bool silent);
    void setFaults(const Faults& faults);
    // Sends "/power" "OFF" to the editor it last heard from.
    void sendPowerOff();
    // Sends a message of the amplifier's own to the editor it last heard
    // from, as when a setting changes at the amplifier itself.
    void sendToEditor(const Bytes& bytes);
    // Sends datagrams no amplifier would: a bundle, a blob, a truncated message.
    void sendMalformed();

    std::vector<LogEntry> log() const { return received.entries(); }
    std::vector<LogEntry> log(const std::string& address) const
    {
        return received.entries(address);
    }
    void clearLog() { received.clear(); }

private:
    void loop();
    void handle(const char* data, std::size_t size, std::uint32_t from);
    void sendTo(std::uint32_t address, const Bytes& bytes);
    void writeLog(const LogEntry& entry);
    long long now() const;

    Amplifier& amp;
    Options options;
    int fd = -1;
    int wakeFd = -1;
    bool bound = false;
    std::atomic<bool> stop {false};
    mutable std::mutex mutex; // guards the amplifier and the faults
    std::map<std::string, int> sendsSeen;
    MessageLog received;
    std::uint32_t editor = 0;
    bool editorKnown = false;
    long long meterUntil = 0;
    long long nextMeter = 0;
    long long nextPeak = 0;
    long long nextAnnounce = 0;
    struct Delayed
    {
        long long due;
        std::uint32_t to;
        Bytes bytes;
    };
    std::vector<Delayed> delayed;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::thread thread;
};

} // namespace velmora::sim

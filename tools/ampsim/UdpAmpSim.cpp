#include "UdpAmpSim.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>

#include <osc/OscReceivedElements.h>

#include "DatagramPlatform.h"
#include "Messages.h"
#include "PacketCheck.h"

namespace velmora::sim
{

std::string formatArguments(const char* data, std::size_t size)
{
    if (! isSafeOscMessage(data, size))
        return "(malformed)";
    try
    {
        const osc::ReceivedMessage m(
            osc::ReceivedPacket(data, static_cast<osc::osc_bundle_element_size_t>(size)));
        std::string out = ",";
        std::string values;
        for (auto a = m.ArgumentsBegin(); a != m.ArgumentsEnd(); ++a)
        {
            out += a->TypeTag();
            char text[64];
            if (a->IsInt32())
                std::snprintf(text, sizeof text, " %d", a->AsInt32());
            else if (a->IsFloat())
                std::snprintf(text, sizeof text, " %g", static_cast<double>(a->AsFloat()));
            else if (a->IsString())
            {
                values += " \"" + std::string(a->AsString()) + "\"";
                continue;
            }
            values += text;
        }
        return out + values;
    }
    catch (const osc::Exception&)
    {
        return "(malformed)";
    }
}

UdpAmpSim::UdpAmpSim(Amplifier& amplifier, Options o) : amp(amplifier), options(std::move(o))
{
    fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &yes, sizeof yes);
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(options.port));
    inet_aton(options.bindAddress.c_str(), &a.sin_addr);
    bound = ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    thread = std::thread([this] { loop(); });
}

UdpAmpSim::~UdpAmpSim()
{
    stop = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = ::write(wakeFd, &one, sizeof one);
    thread.join();
    ::close(fd);
    ::close(wakeFd);
}

long long UdpAmpSim::now() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

void UdpAmpSim::setSilent(bool silent)
{
    std::lock_guard<std::mutex> lock(mutex);
    options.faults.silent = silent;
}

void UdpAmpSim::setFaults(const Faults& faults)
{
    std::lock_guard<std::mutex> lock(mutex);
    options.faults = faults;
    sendsSeen.clear();
}

void UdpAmpSim::sendPowerOff()
{
    std::lock_guard<std::mutex> lock(mutex);
    if (editorKnown)
        sendTo(editor, amp.powerMessage("OFF"));
}

void UdpAmpSim::sendToEditor(const Bytes& bytes)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (editorKnown)
        sendTo(editor, bytes);
}

void UdpAmpSim::sendMalformed()
{
    using namespace std::string_view_literals;
    const std::string_view junk[] = {
        "#bundle\0\0\0\0\0\0\0\0\1\0\0\0\x10#bundle\0\0\0\0\0\0\0\0\1"sv,
        "/gain\0\0\0,b\0\0\x7f\xff\xff\xf0"
        "abcd"sv,
        "/gain\0\0\0,ffii\0\0\0\0"sv,
        "/meter\0\0,ffff"sv,
    };
    std::lock_guard<std::mutex> lock(mutex);
    if (editorKnown)
        for (auto j : junk)
            sendTo(editor, Bytes(j.begin(), j.end()));
}

void UdpAmpSim::sendTo(std::uint32_t address, const Bytes& bytes)
{
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(msg::udpPort));
    a.sin_addr.s_addr = address;
    ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
}

void MessageLog::add(LogEntry entry)
{
    std::lock_guard<std::mutex> lock(mutex);
    list.push_back(std::move(entry));
}

std::vector<LogEntry> MessageLog::entries() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return list;
}

std::vector<LogEntry> MessageLog::entries(const std::string& address) const
{
    std::vector<LogEntry> out;
    for (auto& e : entries())
        if (e.address == address)
            out.push_back(e);
    return out;
}

void MessageLog::clear()
{
    std::lock_guard<std::mutex> lock(mutex);
    list.clear();
}

void UdpAmpSim::writeLog(const LogEntry& e)
{
    received.add(e);
    if (options.logPath.empty())
        return;
    char line[512];
    std::snprintf(line, sizeof line, "%lld %s %s %s\n", e.ms, e.sender.c_str(), e.address.c_str(),
                  e.arguments.c_str());
    if (options.logPath == "-")
    {
        std::cout << line << std::flush;
        return;
    }
    std::ofstream(options.logPath, std::ios::app) << line;
}

void UdpAmpSim::handle(const char* data, std::size_t size, std::uint32_t from)
{
    std::lock_guard<std::mutex> lock(mutex);
    const std::string address =
        size > 0 && isSafeOscMessage(data, size) ? std::string(data) : std::string("(malformed)");
    writeLog({now(), dottedAddress(from), address, formatArguments(data, size)});

    auto& f = options.faults;
    if (f.silent || f.ignore.count(address) > 0)
        return;
    const int seen = ++sendsSeen[address];
    if (auto d = f.dropFirst.find(address); d != f.dropFirst.end() && seen <= d->second)
        return;

    if (address != msg::info)
    {
        editor = from;
        editorKnown = true;
    }
    auto answers = amp.answer(data, size);
    if (amp.takeMeterRequest())
    {
        editor = from;
        editorKnown = true;
        meterUntil = now() + options.meterRunMs;
        nextMeter = now();
    }
    for (auto& answer : answers)
    {
        if (f.wrongCount.count(address) > 0 && answer.size() >= 12)
        {
            // Drop the last type tag: the count no longer matches.
            const std::size_t tags = (std::string(answer.data()).size() + 4) & ~std::size_t {3};
            std::string t(answer.data() + tags);
            if (t.size() > 1)
            {
                Bytes shorter(answer.begin(), answer.begin() + static_cast<long>(tags));
                std::string newTags = t.substr(0, t.size() - 1);
                newTags.resize((newTags.size() + 4) & ~std::size_t {3}, '\0');
                shorter.insert(shorter.end(), newTags.begin(), newTags.end());
                const std::size_t oldTagsLength = (t.size() + 4) & ~std::size_t {3};
                shorter.insert(shorter.end(),
                               answer.begin() + static_cast<long>(tags + oldTagsLength),
                               answer.end());
                answer = shorter;
            }
        }
        if (f.answerDelayMs > 0)
            delayed.push_back({now() + f.answerDelayMs, from, answer});
        else
            sendTo(from, answer);
    }
}

void UdpAmpSim::loop()
{
    std::uint32_t announceAddress = 0;
    if (! options.announceTo.empty())
        if (auto a = systemDatagramPlatform().resolve(options.announceTo))
            announceAddress = *a;

    while (! stop)
    {
        long long wait = 1000;
        {
            std::lock_guard<std::mutex> lock(mutex);
            const long long t = now();
            const bool silent = options.faults.silent;
            if (announceAddress != 0 && ! amp.isOnline() && t >= nextAnnounce)
            {
                sendTo(announceAddress, amp.infoMessage());
                nextAnnounce = t + 1000;
            }
            if (! silent && editorKnown && t < meterUntil && t >= nextMeter)
            {
                sendTo(editor, amp.meterMessage(t / 1000.0));
                nextMeter = t + options.meterPeriodMs;
                if (t >= nextPeak)
                {
                    sendTo(editor, amp.peakLimitMessage(true, (t / options.peakEveryMs) % 2 == 0));
                    nextPeak = t + options.peakEveryMs;
                }
            }
            for (auto it = delayed.begin(); it != delayed.end();)
            {
                if (it->due <= t)
                {
                    if (! silent)
                        sendTo(it->to, it->bytes);
                    it = delayed.erase(it);
                }
                else
                    ++it;
            }
            if (announceAddress != 0 && ! amp.isOnline())
                wait = std::min(wait, nextAnnounce - t);
            if (editorKnown && t < meterUntil)
                wait = std::min(wait, nextMeter - t);
            for (auto& d : delayed)
                wait = std::min(wait, d.due - t);
        }
        pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        if (::poll(fds, 2, static_cast<int>(std::max(0LL, wait))) <= 0 ||
            (fds[0].revents & POLLIN) == 0)
            continue;
        char buffer[2048];
        sockaddr_in from {};
        socklen_t length = sizeof from;
        const auto n = ::recvfrom(fd, buffer, sizeof buffer, MSG_DONTWAIT,
                                  reinterpret_cast<sockaddr*>(&from), &length);
        if (n >= 0)
            handle(buffer, static_cast<std::size_t>(n), from.sin_addr.s_addr);
    }
}

} // namespace velmora::sim

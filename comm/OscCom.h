#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <juce_events/juce_events.h>
#include <osc/OscReceivedElements.h>

#include "Blocks.h"
#include "Links.h"
#include "Outbox.h"
#include "PostedMessage.h"
#include "UdpConnection.h"
#include "UsbLink.h"

namespace osc
{

struct OscComTiming
{
    int replyWaitMs = 500; // per send
    int maxSends = 4;      // then the connection counts as lost
};

// The one conversation with one amplifier. Every change becomes one queued OSC
// message; the "OSC connection" thread sends the oldest, waits for the
// amplifier's message of the same address and only then sends the next
// (stop-and-wait, with retries and a connection-loss verdict). Received
// packets arrive as posted messages and are dispatched on the GUI thread.
class OscCom : public juce::Thread, public juce::MessageListener, public velmora::Outbox
{
public:
    static constexpr int queueSlots = 512;

    using Timing = OscComTiming;

    struct Links
    {
        velmora::Croot& root;
        velmora::SetupPageLink& setup;
        velmora::MainPanelLink& panel;
        velmora::Dialogs& dialogs;
    };

    using UsbFactory =
        std::function<std::unique_ptr<velmora::UsbLink>(juce::MessageListener&, int magic)>;

    // Opens the UDP socket, starts the transports' threads and its own, and
    // broadcasts a discovery request.
    OscCom(Links links, Timing timing = {}, UsbFactory makeUsb = {},
           velmora::DatagramPlatform& datagrams = velmora::systemDatagramPlatform());
    ~OscCom() override;

    // Queueing (GUI thread). Nothing is queued while offline.
    void queueMessage(std::unique_ptr<velmora::OutgoingMessage> message) override;
    void queueQuery(std::string_view address);
    void queueNodeQuery(const velmora::Cnode& block);
    void queueAmpName(const std::string& name);
    void queueIntIntString(std::string_view address, int a, int b, const std::string& text);
    void queueInt(int value, std::string_view address);
    void queueMeterRequest(float value);
    void queueGain(float gainA, float gainB, int muteA, int muteB);

    // Sends a message without arguments at once, bypassing the queue.
    // Route 1 USB, 2 the connected amplifier, 3 the discovery address.
    void sendNow(int route, std::string_view address);

    void discover(const std::string& address);
    void connectUdp(const std::string& ipAddress);
    // Makes USB the active transport (the USB row was picked with a device
    // attached).
    void useUsb();
    // Whether a USB amplifier is attached and open.
    bool isUsbAttached() const { return usb != nullptr && usb->deviceState() > 0; }
    void goOnline();
    void goOffline();
    // Releases the oldest message if it awaits its reply and has this address.
    void acknowledge(std::string_view addressWithoutSlash);
    // Releases at most one message: the oldest if it awaits its reply and has
    // the first address, or failing that the second.
    void acknowledgeEither(std::string_view first, std::string_view second);
    void sendNodeValues(velmora::Cnode& block);

    void handleMessage(const juce::Message& message) override;

    // The two blocks that live outside the tree, owned by their pages.
    void setSpeakerBlock(velmora::Ciospeaker* block) { speakerBlock = block; }
    void setSiggenBlock(velmora::Ciosiggen* block) { siggenBlock = block; }

    bool isOnline() const { return online.load(); }
    int getTransport() const { return transport; }
    int getUsbFamily() const { return usbFamily; }
    const std::string& getDiscoveryAddress() const { return discoveryAddress; }
    velmora::UdpConnection* getUdp() const { return udp.get(); }
    velmora::UsbLink* getUsb() const { return usb.get(); }
    // Number of queued messages, the one awaiting its reply included.
    int pendingCount() const;

    void run() override;

private:
    using Message = std::unique_ptr<velmora::OutgoingMessage>;

    // A queue slot. A query (an address without arguments) asks a block for
    // its values; until its answer has come, the editor's copy of that block
    // is not the amplifier's.
    struct Queued
    {
        Message message;
        bool query = false;
    };

    void append(Message message, bool query);
    void appendLocked(Message message, bool query);
    void queueWithReplacement(Message message);
    bool releaseOldestLocked(std::string_view address);
    Message build(std::string_view address,
                  const std::function<void(osc::OutboundPacketStream&)>& args);
    enum class SendResult
    {
        sent,
        busy,
        noRoute
    };
    SendResult sendOldestLocked();
    void postStatus(int code);
    void stopSender();
    void clearQueueLocked();

    void handlePacket(const velmora::PostedMessage& message);
    void dispatchOnline(const char* address, const ReceivedMessage& message);
    void handleInfo(const ReceivedMessage& message, int source, std::uint32_t sender);
    void usbConnectionLost();
    void networkConnectionLost();
    void confirmUsbConnect(std::function<void(bool)> answered);

    Links links;
    const Timing timing;
    velmora::DatagramPlatform& datagrams;

    // Read by every thread that queues (the Utility page's sweep queues too).
    std::atomic<bool> online {false};
    int meterReplyCount = 0;
    const int messageMagic;
    int usbFamily = 0;
    std::atomic<int> transport {0};
    std::string discoveryAddress;
    // The "/info" answers to the latest discovery. An amplifier on the card
    // the limited broadcast leaves through hears "/info" twice (that and its
    // subnet's broadcast) and answers twice; the repeat is dropped, so each
    // amplifier is reported once per search.
    std::vector<std::tuple<std::uint32_t, int, std::string>> searchAnswers;
    std::chrono::steady_clock::time_point searchTime;
    static constexpr std::chrono::milliseconds searchRepeatWindow {2000};
    std::optional<std::uint32_t> connectedAddress; // the amplifier picked on the network

    std::unique_ptr<velmora::UdpConnection> udp;
    std::unique_ptr<velmora::UsbLink> usb;
    velmora::Ciospeaker* speakerBlock = nullptr;
    velmora::Ciosiggen* siggenBlock = nullptr;

    mutable std::mutex queueLock;
    std::condition_variable queueChanged;
    std::array<Queued, queueSlots> outQueue;
    int queueHead = 0;
    int queueTail = 0;
    bool awaitingReply = false;
    int sendAttempts = 0;
    bool lossPosted = false;
    std::chrono::steady_clock::time_point sendTime;
    bool stopping = false;
};

} // namespace osc

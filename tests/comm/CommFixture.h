#pragma once

#include <gtest/gtest.h>

#include <mutex>

#include "Amplifier.h"
#include "FakeLinks.h"
#include "FakePeer.h"
#include "MessageLoop.h"
#include "Messages.h"
#include "OscCom.h"

namespace velmora::test
{

// An editor's communicator with stand-ins for the pages, and helpers to put
// amplifiers beside it on loopback addresses.
class CommFixture : public ::testing::Test
{
protected:
    std::unique_ptr<Croot> root = makeTree();
    FakeSetupPage setup;
    FakePanel panel;
    FakeDialogs dialogs;
    std::unique_ptr<osc::OscCom> com;

    void startCom(osc::OscComTiming timing = {100, 4},
                  DatagramPlatform& platform = sharedPortDatagramPlatform())
    {
        com = std::make_unique<osc::OscCom>(osc::OscCom::Links {*root, setup, panel, dialogs},
                                            timing, osc::OscCom::UsbFactory {}, platform);
        setup.com = com.get();
        setOutbox(com.get());
    }

    void TearDown() override
    {
        setOutbox(nullptr);
        com.reset();
    }

    // Picks the amplifier at `address` and goes online, as the Setup page does.
    void connectTo(const std::string& address)
    {
        com->connectUdp(address);
        setup.selectDevice(1);
        setup.connectDevice();
    }

    // A responder that answers like a real amplifier (meters: one answer per
    // request).
    static FakePeer::Responder amplifierResponder(sim::Amplifier& amp, std::mutex& lock)
    {
        return [&amp, &lock](const PeerPacket& p)
        {
            std::lock_guard<std::mutex> l(lock);
            auto answers = amp.answer(p.bytes.data(), p.bytes.size());
            if (amp.takeMeterRequest())
                answers.push_back(amp.meterMessage(0.0));
            return answers;
        };
    }

    bool pumpUntilPeer(FakePeer& peer,
                       const std::function<bool(const std::vector<PeerPacket>&)>& done,
                       int timeoutMs = 3000)
    {
        return pumpUntil([&] { return done(peer.received()); }, timeoutMs);
    }

    static int countOf(const std::vector<PeerPacket>& packets, const std::string& address)
    {
        int n = 0;
        for (const auto& p : packets)
            n += p.address() == address ? 1 : 0;
        return n;
    }
};

} // namespace velmora::test

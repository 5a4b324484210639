// One frame of a marker drag on the Parametric EQ page: the frequency nudge
// (tree, band message, response), then the graph repainted into an image.
// The band messages go to an outbox that keeps the last one, so that the
// value under the mouse at release can be checked against what was sent.
// No socket: the page is built without a communicator.
#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "Amplifier.h"
#include "AppContext.h"
#include "CPeqPage.h"
#include "EQGraph.h"
#include "FakeLinks.h"
#include "FakePeer.h"
#include "MessageLoop.h"
#include "OscCom.h"
#include "SettingsStore.h"
#include "presetDocument.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>

#include <osc/OscReceivedElements.h>

namespace juce
{
// The step of JUCE's own message loop on Linux (as in comm_bench): blocks
// until a message arrives, without the test loop's millisecond sleeps.
bool dispatchNextMessageOnSystemQueue(bool returnIfNoPendingMessages);
} // namespace juce

using namespace velmora;

namespace
{

struct LastMessage : Outbox
{
    std::unique_ptr<OutgoingMessage> last;
    int count = 0;
    void queueMessage(std::unique_ptr<OutgoingMessage> m) override
    {
        last = std::move(m);
        ++count;
    }
    // The "freq" argument of the last band message.
    float frequency() const
    {
        osc::ReceivedMessage m(osc::ReceivedPacket(
            last->data(), static_cast<osc::osc_bundle_element_size_t>(last->size())));
        auto args = m.ArgumentStream();
        const char* type = nullptr;
        float freq = 0;
        args >> type >> freq;
        return freq;
    }
};

void PeqMarkerDragFrame(benchmark::State& state)
{
    test::FakeDialogs dialogs;
    AppContext context;
    context.dialogs = &dialogs;
    context.root = makeTree();
    LastMessage outbox;
    setOutbox(&outbox);
    {
        CPeqPage page(context);
        page.setSize(Page::pageWidth, Page::pageHeight);
        auto& band = page.tab(0).band(4);
        band.type().setStep(1);
        band.gain().setValue(6.0f);
        page.tab(0).refreshAll();
        filter_drag& marker = *page.graph.getHandle(4);
        juce::Image image(juce::Image::RGB, 660, 150, true);

        // Across the whole graph and back, two pixels a frame, as a mouse at
        // 60 moves a second over 660 pixels would go.
        int direction = 2;
        for (auto _ : state)
        {
            const int step = band.freq().getStep();
            if (step >= 598)
                direction = -2;
            else if (step <= 2)
                direction = 2;
            marker.dragTo(marker.getWidth() / 2 + direction, 0);
            juce::Graphics g(image);
            page.graph.paintEntireComponent(g, false);
            benchmark::DoNotOptimize(image.getPixelAt(300, 75));
        }
        // The amplifier's last message holds the frequency under the mouse.
        if (outbox.count == 0 || outbox.frequency() != band.freq().getValue())
            state.SkipWithError("the last message is not the band's frequency");
    }
    setOutbox(nullptr);
}
BENCHMARK(PeqMarkerDragFrame)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

// From a gain knob's change on the page (the band set, sent, recomputed and
// the graph repainted) to the band's datagram arriving at a peer on loopback.
// Each change waits for the amplifier's answer before the next, so none is
// coalesced in the queue. Reports the median and the 99th percentile of
// `changes` changes. Run inside a private network namespace (bench/run.sh).
void PeqKnobToWire(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    test::FakeDialogs dialogs;
    test::FakeSetupPage setup;
    test::FakePanel panel;
    AppContext context;
    context.dialogs = &dialogs;
    context.root = makeTree();
    sim::Amplifier amp {1, "Bench"};
    std::mutex ampLock;
    std::atomic<Clock::rep> arrived {0};
    test::FakePeer peer {"127.0.0.2"};
    peer.setResponder(
        [&](const test::PeerPacket& p)
        {
            if (std::string_view(p.bytes.data()).rfind("/channel/1/peq/3", 0) == 0)
                arrived = p.time.time_since_epoch().count();
            std::lock_guard<std::mutex> l(ampLock);
            auto answers = amp.answer(p.bytes.data(), p.bytes.size());
            if (amp.takeMeterRequest())
                answers.push_back(amp.meterMessage(0.0));
            return answers;
        });
    auto com =
        std::make_unique<osc::OscCom>(osc::OscCom::Links {*context.root, setup, panel, dialogs});
    context.com = com.get();
    setOutbox(com.get());
    setup.com = com.get();
    com->connectUdp("127.0.0.2");
    setup.selectDevice(1);
    {
        CPeqPage page(context);
        page.setSize(Page::pageWidth, Page::pageHeight);
        setup.connectDevice();
        test::pumpUntil([&] { return com->isOnline() && com->pendingCount() == 0; }, 10000);
        juce::Image image(juce::Image::RGB, 660, 150, true);
        auto& knob = page.tab(0).column(2).gain;

        const int changes = static_cast<int>(state.range(0));
        std::vector<double> ms;
        for (auto _ : state)
        {
            ms.clear();
            for (int i = 0; i < changes; ++i)
            {
                arrived = 0;
                const auto start = Clock::now();
                knob.setValue(i % 2 == 0 ? 3.0 : -3.0, juce::sendNotificationSync);
                juce::Graphics g(image);
                page.graph.paintEntireComponent(g, false);
                while (arrived == 0 || com->pendingCount() != 0)
                    juce::dispatchNextMessageOnSystemQueue(false);
                ms.push_back(std::chrono::duration<double, std::milli>(
                                 Clock::duration(arrived.load()) - start.time_since_epoch())
                                 .count());
            }
        }
        std::sort(ms.begin(), ms.end());
        state.counters["median_ms"] = ms[ms.size() / 2];
        state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
        setup.disconnectDevice();
    }
    setOutbox(nullptr);
    context.com = nullptr;
}
BENCHMARK(PeqKnobToWire)->Arg(400)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

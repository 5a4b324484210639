// One frame of a marker drag on the Parametric EQ page: the frequency nudge
// (tree, band message, response), then the graph repainted into an image.
// The band messages go to an outbox that keeps the last one, so that the
// value under the mouse at release can be checked against what was sent.
// No socket: the page is built without a communicator.
#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "AppContext.h"
#include "CPeqPage.h"
#include "EQGraph.h"
#include "FakeLinks.h"
#include "SettingsStore.h"
#include "presetDocument.h"

#include <osc/OscReceivedElements.h>

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

} // namespace

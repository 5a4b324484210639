// How fast going online completes against an amplifier on loopback, and how
// often the editor's own threads wake while nothing happens.
// Run inside a private network namespace: bench/run.sh.
#include <benchmark/benchmark.h>
#include <dirent.h>

#include <fstream>
#include <juce_gui_basics/juce_gui_basics.h>
#include <mutex>

#include "Amplifier.h"
#include "FakeLinks.h"
#include "FakePeer.h"
#include "MessageLoop.h"
#include "OscCom.h"

using namespace velmora;
using namespace velmora::test;

namespace juce
{
// The step of JUCE's own message loop on Linux: blocks until a message or an
// event arrives and dispatches it. runDispatchLoopUntil, which the tests use,
// sleeps a millisecond whenever the queue is empty and would add that to
// every exchange; the application's loop does not.
bool dispatchNextMessageOnSystemQueue(bool returnIfNoPendingMessages);
} // namespace juce

namespace
{

struct Bench
{
    std::unique_ptr<Croot> root = makeTree();
    FakeSetupPage setup;
    FakePanel panel;
    FakeDialogs dialogs;
    sim::Amplifier amp {1, "Bench"};
    std::mutex ampLock;
    FakePeer peer {"127.0.0.2"};
    std::unique_ptr<osc::OscCom> com;

    Bench()
    {
        peer.setResponder(
            [this](const PeerPacket& p)
            {
                std::lock_guard<std::mutex> l(ampLock);
                auto answers = amp.answer(p.bytes.data(), p.bytes.size());
                if (amp.takeMeterRequest())
                    answers.push_back(amp.meterMessage(0.0));
                return answers;
            });
        com = std::make_unique<osc::OscCom>(osc::OscCom::Links {*root, setup, panel, dialogs});
        setup.com = com.get();
        com->connectUdp("127.0.0.2");
        setup.selectDevice(1);
    }

    // Goes online and returns the milliseconds until all 61 exchanges are done.
    double syncOnce()
    {
        const auto start = std::chrono::steady_clock::now();
        setup.connectDevice();
        // The last of the 61 exchanges is the meter request, answered by the
        // first meter reading.
        setup.meters.clear();
        while (setup.meters.empty() || com->pendingCount() != 0)
            juce::dispatchNextMessageOnSystemQueue(false);
        const auto end = std::chrono::steady_clock::now();
        setup.disconnectDevice();
        return std::chrono::duration<double, std::milli>(end - start).count();
    }
};

void OnlineSync(benchmark::State& state)
{
    Bench b;
    for (auto _ : state)
        state.SetIterationTime(b.syncOnce() / 1000.0);
}
BENCHMARK(OnlineSync)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(21)
    ->ReportAggregatesOnly(true);

// Context switches of the editor's own threads, by thread name.
long wakeups(const std::string& prefix)
{
    long total = 0;
    DIR* dir = opendir("/proc/self/task");
    while (dirent* e = readdir(dir))
    {
        if (e->d_name[0] == '.')
            continue;
        const std::string base = std::string("/proc/self/task/") + e->d_name;
        std::string name;
        std::getline(std::ifstream(base + "/comm"), name);
        if (name.rfind(prefix, 0) != 0)
            continue;
        std::ifstream status(base + "/status");
        std::string line;
        while (std::getline(status, line))
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0 ||
                line.rfind("nonvoluntary_ctxt_switches:", 0) == 0)
                total += std::stol(line.substr(line.find(':') + 1));
    }
    closedir(dir);
    return total;
}

void measureIdle(benchmark::State& state, bool connected)
{
    Bench b;
    if (connected)
        b.syncOnce(), b.setup.connectDevice(),
            pumpUntil([&] { return b.com->pendingCount() == 0; }, 10000);
    const char* names[] = {"OSC connection", "UDP connection", "USB connection"};
    for (auto _ : state)
    {
        long before[3];
        for (int i = 0; i < 3; ++i)
            before[i] = wakeups(names[i]);
        const auto start = std::chrono::steady_clock::now();
        pumpFor(2000);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        double total = 0;
        for (int i = 0; i < 3; ++i)
        {
            const double rate = (wakeups(names[i]) - before[i]) / seconds;
            state.counters[std::string(names[i]).substr(0, 3) + "_wakeups_per_s"] = rate;
            total += rate;
        }
        state.counters["total_wakeups_per_s"] = total;
        state.SetIterationTime(seconds);
    }
}

void IdleOffline(benchmark::State& state)
{
    measureIdle(state, false);
}
void IdleConnected(benchmark::State& state)
{
    measureIdle(state, true);
}
BENCHMARK(IdleOffline)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(IdleConnected)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);

} // namespace

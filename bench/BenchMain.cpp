// The entry point of every benchmark binary: one JUCE initialiser, no JUCE
// application object.
#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

int main(int argc, char** argv)
{
    juce::JUCEApplicationBase::createInstance = nullptr;
    juce::ScopedJuceInitialiser_GUI juce;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

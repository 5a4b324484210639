// Writes the hand-made seed inputs of the text fuzzers into their corpus
// folders: writeseeds <tests/fuzz>. Their names start with "seed-".
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <juce_events/juce_events.h>

#include "TextPaths.h"

namespace
{

void write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    juce::ScopedJuceInitialiser_GUI juce;
    const std::string dir = argv[1];
    const std::string preset = velmora::fuzz::defaultPresetText();
    write(dir + "/preset-corpus/seed-default", preset);
    write(dir + "/preset-corpus/seed-title-only", "My preset\nBEGIN_OSC_DATA\nEND_OSC_DATA");
    write(dir + "/preset-corpus/seed-crlf", juce::String(preset).replace("\n", "\r\n").toStdString());

    const std::vector<std::string> numbers {
        "0", "-0", "+7", "2147483647", "2147483648", "-2147483648", "4294967296",
        "99999999999999999999", "1.5", ".5", "-.25", "2k5", "20k", "1k00", "3.4e38",
        "340282356779733661637539395458142568448", "0.000000000000000000000000000000000000000000001",
        "1..2", "k", "-", ""};
    for (std::size_t i = 0; i < numbers.size(); ++i)
        write(dir + "/number-corpus/seed-" + std::to_string(i), numbers[i]);

    // The first byte picks the parameter; a few of each text shape.
    const std::vector<std::string> texts {"0", "-12.5", "20k", "1k00", "ON", "OFF", "LR24",
                                          "99999", "-99999", "0.001", "Bypass"};
    for (std::size_t i = 0; i < texts.size(); ++i)
        for (int pick : {0, 7, 40, 123, 200})
            write(dir + "/parameter-corpus/seed-" + std::to_string(i) + "-" + std::to_string(pick),
                  std::string(1, static_cast<char>(pick)) + texts[i]);
    return 0;
}

// velmora-ampsim: a virtual amplifier on the network, for tests, demos and
// trying the editor without hardware.
//
//   velmora-ampsim [--bind ADDR] [--model N] [--name NAME] [--announce ADDR]
//                  [--log FILE|-] [--drop ADDRESS:N]... [--ignore ADDRESS]...
//                  [--wrong-count ADDRESS]... [--delay MS] [--silent]
//                  [--set "/ADDRESS VALUES"]...
//
// Commands on standard input, one per line: "silent", "talk", "power-off",
// "malformed", "quit".
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "Messages.h"
#include "UdpAmpSim.h"

namespace
{
volatile std::sig_atomic_t quit = 0;
void onSignal(int)
{
    quit = 1;
}

[[noreturn]] void usage()
{
    std::cerr
        << "usage: velmora-ampsim [--bind ADDR] [--model 0-6] [--name NAME] [--announce ADDR]\n"
           "       [--log FILE|-] [--drop ADDRESS:N] [--ignore ADDRESS] [--wrong-count ADDRESS]\n"
           "       [--delay MS] [--silent] [--set \"/ADDRESS VALUES\"]\n";
    std::exit(2);
}
} // namespace

int main(int argc, char** argv)
{
    using namespace velmora::sim;
    UdpAmpSim::Options options;
    int model = 1;
    std::string name = "Velmora Sim";
    std::vector<std::string> settings;
    for (int i = 1; i < argc; ++i)
    {
        const std::string a = argv[i];
        auto value = [&]() -> std::string
        {
            if (i + 1 >= argc)
                usage();
            return argv[++i];
        };
        if (a == "--bind")
            options.bindAddress = value();
        else if (a == "--model")
            model = std::atoi(value().c_str());
        else if (a == "--name")
            name = value();
        else if (a == "--announce")
            options.announceTo = value();
        else if (a == "--log")
            options.logPath = value();
        else if (a == "--drop")
        {
            const std::string v = value();
            const auto colon = v.rfind(':');
            if (colon == std::string::npos)
                usage();
            options.faults.dropFirst[v.substr(0, colon)] = std::atoi(v.c_str() + colon + 1);
        }
        else if (a == "--ignore")
            options.faults.ignore.insert(value());
        else if (a == "--wrong-count")
            options.faults.wrongCount.insert(value());
        else if (a == "--delay")
            options.faults.answerDelayMs = std::atoi(value().c_str());
        else if (a == "--silent")
            options.faults.silent = true;
        else if (a == "--set")
            settings.push_back(value());
        else
            usage();
    }
    if (model < 0 || model > 6)
        usage();

    Amplifier amp(model, name);
    for (const auto& line : settings)
        amp.setBlock(line);
    UdpAmpSim sim(amp, options);
    if (! sim.isBound())
    {
        std::cerr << "velmora-ampsim: cannot bind " << options.bindAddress << ":" << options.port
                  << "\n";
        return 1;
    }
    std::cerr << "velmora-ampsim: " << velmora::msg::modelNames[static_cast<std::size_t>(model)]
              << " \"" << name << "\" on " << options.bindAddress << ":" << options.port << "\n";

    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::thread input(
        [&]
        {
            std::string line;
            while (! quit && std::getline(std::cin, line))
            {
                if (line == "silent")
                    sim.setSilent(true);
                else if (line == "talk")
                    sim.setSilent(false);
                else if (line == "power-off")
                    sim.sendPowerOff();
                else if (line == "malformed")
                    sim.sendMalformed();
                else if (line == "quit")
                    quit = 1;
            }
        });
    input.detach();
    while (! quit)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return 0;
}

// Test entry point shared by every test binary: one JUCE initialiser for the
// whole binary, no JUCE application object.
#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    // A test binary is not a JUCE application; without this JUCE would try to
    // create one when the message manager starts.
    juce::JUCEApplicationBase::createInstance = nullptr;
    // Components are tested off the desktop. With no DISPLAY, JUCE would
    // still open ":0.0", and that may be the Xvfb of an end-to-end test
    // running beside us: when that test ends and its server goes, the X
    // connection dies and takes this binary with it. A display name that
    // cannot be parsed keeps JUCE headless without trying any connection.
    setenv("DISPLAY", ":headless", 1);
    ::testing::InitGoogleTest(&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}

// Test entry point shared by every test binary: one JUCE initialiser for the
// whole binary, no JUCE application object.
#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

int main(int argc, char** argv)
{
    // A test binary is not a JUCE application; without this JUCE would try to
    // create one when the message manager starts.
    juce::JUCEApplicationBase::createInstance = nullptr;
    ::testing::InitGoogleTest(&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}

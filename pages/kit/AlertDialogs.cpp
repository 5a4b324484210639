#include "AlertDialogs.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace velmora
{

void AlertDialogs::showWarning(const std::string& title, const std::string& message,
                               const std::string& button)
{
    juce::AlertWindow::showMessageBoxAsync(
        juce::MessageBoxIconType::WarningIcon, juce::translate(juce::String(title)),
        juce::translate(juce::String(message)), juce::translate(juce::String(button)));
}

void AlertDialogs::askQuestion(const std::string& title, const std::string& message,
                               const std::string& confirm, const std::string& cancel,
                               std::function<void(bool)> answered)
{
    juce::AlertWindow::showOkCancelBox(
        juce::MessageBoxIconType::QuestionIcon, juce::translate(juce::String(title)),
        juce::translate(juce::String(message)), juce::translate(juce::String(confirm)),
        juce::translate(juce::String(cancel)), nullptr,
        juce::ModalCallbackFunction::create(
            [answered = std::move(answered)](int result)
            {
                if (answered)
                    answered(result == 1);
            }));
}

} // namespace velmora

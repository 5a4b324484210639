#pragma once

#include "Links.h"

namespace velmora
{

// JUCE's alert windows, shown asynchronously; every text goes through the
// translation lookup.
class AlertDialogs : public Dialogs
{
public:
    void showWarning(const std::string& title, const std::string& message,
                     const std::string& button) override;
    void askQuestion(const std::string& title, const std::string& message,
                     const std::string& confirm, const std::string& cancel,
                     std::function<void(bool)> answered) override;
};

} // namespace velmora

#pragma once

// A whole editor without a window: the context, the main panel with its pages
// and communicator, and the preset document, with dialogs and file choosers
// that the test answers. The communicator opens a socket: run inside
// tests/support/in-netns.sh.

#include <gtest/gtest.h>

#include "AppContext.h"
#include "CSetupPage.h"
#include "FakeLinks.h"
#include "FileChoosers.h"
#include "MessageLoop.h"
#include "OscCom.h"
#include "RemoteControl.h"
#include "SettingsStore.h"
#include "presetDocument.h"

namespace velmora::test
{

struct FakeFileChoosers : FileChoosers
{
    struct Request
    {
        bool save;
        juce::String title;
        juce::File start;
        juce::String pattern;
        std::function<void(const juce::File&)> chosen;
    };
    std::vector<Request> requests;

    void chooseFileToOpen(const juce::String& t, const juce::File& s, const juce::String& p,
                          std::function<void(const juce::File&)> c) override
    {
        requests.push_back({false, t, s, p, std::move(c)});
    }
    void chooseFileToSave(const juce::String& t, const juce::File& s, const juce::String& p,
                          std::function<void(const juce::File&)> c) override
    {
        requests.push_back({true, t, s, p, std::move(c)});
    }
    // Answers the oldest open chooser with `file` (juce::File() cancels).
    void choose(const juce::File& file)
    {
        auto r = std::move(requests.front());
        requests.erase(requests.begin());
        r.chosen(file);
    }
};

class EditorFixture : public ::testing::Test
{
protected:
    juce::TemporaryFile folder {"velmora-editor"};
    FakeDialogs dialogs;
    FakeFileChoosers choosers;
    AppContext context;
    std::unique_ptr<RemoteControl> panel;

    void SetUp() override
    {
        ASSERT_TRUE(folder.getFile().createDirectory());
        auto options = SettingsStore::defaultOptions();
        options.folderName = folder.getFile().getChildFile("config").getFullPathName();
        context.dialogs = &dialogs;
        context.fileChoosers = &choosers;
        // Virtual amplifiers share port 3456 with the editor on loopback.
        context.datagrams = &sharedPortDatagramPlatform();
        context.root = makeTree();
        context.settings = std::make_unique<SettingsStore>(options);
        panel = std::make_unique<RemoteControl>(nullptr, context);
        context.presets = std::make_unique<presetDocument>(*context.root, *context.settings);
        pumpFor(20);
    }

    void TearDown() override
    {
        panel.reset();
        context.presets.reset();
        context.settings.reset();
        context.root.reset();
        folder.getFile().deleteRecursively();
    }

    CSetupPage& setup() { return *context.setupPage; }
    osc::OscCom& com() { return *context.com; }
    juce::File dir() const { return folder.getFile(); }
};

} // namespace velmora::test

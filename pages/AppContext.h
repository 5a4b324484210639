#pragma once

#include <memory>

#include "Blocks.h"
#include "DatagramPlatform.h"
#include "Edits.h"
#include "HidPlatform.h"
#include "Links.h"
#include "PageLook.h"
#include "ResponseMaths.h"
#include "Shared.h"

namespace osc
{
class OscCom;
}

namespace velmora
{

class SettingsStore;
class presetDocument;
class FileChoosers;
class CConfigPage;
class CXoverPage;
class CPeqPage;
class CDeqPage;
class CSetupPage;
class CUtilityPage;

// What the pages need of the main panel.
class MainPanelView : public MainPanelLink
{
public:
    // Shows the connected model (0-6) or none (7) in the title, tabs and column.
    virtual void setDeviceModel(int modelIndex) = 0;
};

// The long-lived objects of one running editor, kept under the names the
// rest of the system uses them by, in the order they are created. The
// application owns one; every test builds its own.
struct AppContext
{
    // The pages' look; it outlives every page.
    kit::PageLook look;
    // Every edit the user makes passes through here.
    kit::EditHub edits;
    // Which functions of each channel are in use (the signal-flow diagram).
    kit::ChannelActivity activity;
    // What the EQ graphs draw, and the marker highlighted on every graph.
    ResponseStore responses;
    // The pages that follow the amplifier mode, told in this order: the
    // Parametric EQ page, the crossover page, the Dynamic EQ page.
    std::array<kit::AmpModeFollower*, 3> ampModeFollowers {};
    enum Follower
    {
        peqFollower,
        xoverFollower,
        deqFollower
    };

    // The settings tree, built with its paths before anything looks at it.
    std::unique_ptr<Croot> root;
    // The per-user settings (recent preset files).
    std::unique_ptr<SettingsStore> settings;
    // Message and question boxes, and the file choosers: JUCE's by default,
    // a test's own when it answers them.
    Dialogs* dialogs = nullptr;
    FileChoosers* fileChoosers = nullptr;
    // The machine's HID devices; without it the editor has no USB transport.
    std::unique_ptr<HidPlatform> hid;
    // The sockets the UDP transport uses; the machine's own (no address
    // reuse) unless a test puts virtual amplifiers beside the editor.
    DatagramPlatform* datagrams = nullptr;

    // Set while the main panel builds itself.
    MainPanelView* mainPanel = nullptr;
    CConfigPage* configPage = nullptr;
    CXoverPage* xoverPage = nullptr;
    CPeqPage* peqPage = nullptr;
    CDeqPage* deqPage = nullptr;
    CSetupPage* setupPage = nullptr;
    CUtilityPage* utilityPage = nullptr;
    osc::OscCom* com = nullptr;

    // Created last; reads the built-in default preset into the tree.
    std::unique_ptr<presetDocument> presets;
};

} // namespace velmora

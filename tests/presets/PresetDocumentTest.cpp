#include <gtest/gtest.h>

#include "Blocks.h"
#include "DefaultPreset.h"
#include "MessageLoop.h"
#include "presetDocument.h"

using namespace velmora;

namespace
{

class Presets : public ::testing::Test
{
protected:
    juce::TemporaryFile folder {"velmora-presets"};
    juce::File dir;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<Croot> root = makeTree();
    std::unique_ptr<presetDocument> doc;

    void SetUp() override
    {
        dir = folder.getFile();
        ASSERT_TRUE(dir.createDirectory());
        settings = std::make_unique<SettingsStore>(options());
        doc = std::make_unique<presetDocument>(*root, *settings);
    }

    void TearDown() override
    {
        doc.reset();
        settings.reset();
        dir.setReadOnly(false, true);
        dir.deleteRecursively();
    }

    juce::PropertiesFile::Options options() const
    {
        auto o = SettingsStore::defaultOptions();
        o.folderName = dir.getChildFile("config").getFullPathName();
        return o;
    }

    juce::File write(const juce::String& name, const std::string& text)
    {
        auto f = dir.getChildFile(name);
        f.replaceWithData(text.data(), text.size());
        return f;
    }

    Cpeq& band(int c, int b)
    {
        return *root->channels[static_cast<std::size_t>(c - 1)]
                    ->peq->bands[static_cast<std::size_t>(b - 1)];
    }
    Cdelay& delay(int c) { return *root->channels[static_cast<std::size_t>(c - 1)]->delay; }
};

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;)
    {
        const auto end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return lines;
        start = end + 1;
    }
}

TEST_F(Presets, SavingRightAfterStartUpWritesTheFortyTwoLines)
{
    EXPECT_EQ(doc->getDocumentTitle(), "BEGIN_OSC_DATA");
    doc->setPresetTitle("MyPreset");
    const auto file = dir.getChildFile("start.vlp");
    ASSERT_TRUE(doc->saveDocument(file).wasOk());

    const std::string text = file.loadFileAsString().toStdString();
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), '\n');
    const auto lines = splitLines(text);
    ASSERT_EQ(lines.size(), 42u);
    EXPECT_EQ(lines[0], "MyPreset");
    EXPECT_EQ(lines[1], "BEGIN_OSC_DATA");
    EXPECT_EQ(lines[2], "/ampmode s DUAL");
    EXPECT_EQ(lines[7], "/channel/1/peq/5 sfff PEQ 1k00  +0.0 1.0");
    EXPECT_EQ(lines[13], "/channel/1/xover/gain f  +0.0");
    EXPECT_EQ(lines[15], "/channel/1/deq/1/time ff 50.0  1000");
    EXPECT_EQ(lines[20], "/channel/1/delay fi   0.00 0");
    EXPECT_EQ(lines[21], "/channel/1/limiter fff  100 100.0  50.0");
    // The default's "15k001" is no shown step: "15k00" would load 1 Hz lower.
    EXPECT_EQ(lines[31], "/channel/2/xover/lp sf OFF 15k00099");
    EXPECT_EQ(lines[40], "/channel/2/limiter fff  100 100.0  50.0");
    EXPECT_EQ(lines[41], "END_OSC_DATA");
}

TEST_F(Presets, TheDefaultTextSetsThirtyNineBlocks)
{
    const auto lines = splitLines(defaultPresetText);
    ASSERT_EQ(lines.size(), 41u);
    EXPECT_EQ(lines.front(), "BEGIN_OSC_DATA");
    EXPECT_EQ(lines.back(), "END_OSC_DATA");

    // Every block of a fresh tree is at its lowest step; the default text
    // reaches all 39 and broadcasts for each.
    auto fresh = makeTree();
    int blocks = 0;
    struct Counter : juce::ChangeListener
    {
        std::set<juce::ChangeBroadcaster*> changed;
        void changeListenerCallback(juce::ChangeBroadcaster* b) override { changed.insert(b); }
    } counter;
    forEachBlock(*fresh,
                 [&](Cnode& b)
                 {
                     b.addChangeListener(&counter);
                     ++blocks;
                 });
    SettingsStore s(options());
    presetDocument d(*fresh, s);
    ASSERT_TRUE(test::pumpUntil([&] { return counter.changed.size() == 39u; }));
    forEachBlock(*fresh, [&](Cnode& b) { b.removeChangeListener(&counter); });
    EXPECT_EQ(blocks, 39);

    auto& ch1 = *fresh->channels[0];
    auto& ch2 = *fresh->channels[1];
    EXPECT_EQ(ch1.peq->bands[0]->text(), " LS12 40.0  +0.0 1.0");
    EXPECT_EQ(ch1.peq->bands[7]->text(), " HS12 10k00  +0.0 1.0");
    EXPECT_NEAR(ch1.xover->hp->freq().getValue(), 30.01f, 0.01f);
    EXPECT_NEAR(ch2.xover->hp->freq().getValue(), 2000.0f, 0.1f);
    EXPECT_NEAR(ch2.xover->lp->freq().getValue(), 15001.0f, 1.0f);
    EXPECT_EQ(ch1.deq->bands[1]->filt->text(), " BP 2k00 1.0");
    EXPECT_EQ(ch1.limiter->text(), "  100 100.0  50.0");
    EXPECT_EQ(fresh->ampmode->mode().choiceText(), "DUAL");
}

TEST_F(Presets, LoadingBackRestoresEveryValueExactly)
{
    band(1, 3).type().setStep(5);
    band(1, 3).qual().setStep(12);  // 1.3, held as 1.29999995: shown "1.2"
    band(2, 6).freq().setStep(350); // about 1124.7 Hz: shown "1k12"
    delay(2).pol().setStep(180);
    root->ampmode->mode().setStep(4);
    doc->setPresetTitle("Round trip");
    const auto file = dir.getChildFile("trip.vlp");
    ASSERT_TRUE(doc->saveDocument(file).wasOk());

    band(1, 3).type().setStep(0);
    band(1, 3).qual().setStep(0);
    band(2, 6).freq().setStep(0);
    delay(2).pol().setStep(0);
    root->ampmode->mode().setStep(0);
    ASSERT_TRUE(doc->loadDocument(file).wasOk());

    EXPECT_EQ(band(1, 3).type().choiceText(), "HS12");
    EXPECT_EQ(band(1, 3).qual().getStep(), 12);
    EXPECT_EQ(band(2, 6).freq().rawStep(), 350000);
    EXPECT_EQ(delay(2).pol().getStep(), 180);
    EXPECT_EQ(root->ampmode->mode().choiceText(), "BRIDGE");
    EXPECT_EQ(doc->getDocumentTitle(), "Round trip");
}

// Every value of the tree, as raw steps: what the blocks send.
std::vector<std::int32_t> allSteps(Cnode& root, bool raw)
{
    std::vector<std::int32_t> steps;
    forEachBlock(root,
                 [&](Cnode& block)
                 {
                     for (const auto& child : block.getChildren())
                         if (auto* p = dynamic_cast<Cparam*>(child.get()))
                             steps.push_back(raw ? p->rawStep() : p->getStep());
                 });
    return steps;
}

TEST_F(Presets, LoadSaveLoadSaveOfOffGridValuesChangesNothing)
{
    const std::string venue = "Venue\nBEGIN_OSC_DATA\n"
                              "/channel/1/peq/3 sfff PEQ 1219 -3.5 1.3\n"
                              "/channel/1/delay fi 2.12 0\n"
                              "/channel/1/deq/1/comp fff +1.5 -30 10.5\n"
                              "/channel/1/deq/1/time ff 100.5 1000\n"
                              "/channel/1/limiter fff 0.29 100.5 50\n"
                              "/channel/2/xover/hp sf BW12 1124.7\n"
                              "END_OSC_DATA";
    ASSERT_TRUE(doc->loadDocument(write("venue.vlp", venue)).wasOk());
    const auto loaded = allSteps(*root, true);
    EXPECT_EQ(band(1, 3).qual().getStep(), 12);
    EXPECT_EQ(delay(1).del().getStep(), 212);
    const auto first = dir.getChildFile("first.vlp");
    const auto second = dir.getChildFile("second.vlp");
    ASSERT_TRUE(doc->saveDocument(first).wasOk());
    ASSERT_TRUE(doc->loadDocument(first).wasOk());
    EXPECT_EQ(allSteps(*root, true), loaded);
    const auto sent = allSteps(*root, true);
    ASSERT_TRUE(doc->saveDocument(second).wasOk());
    ASSERT_TRUE(doc->loadDocument(second).wasOk());
    EXPECT_EQ(allSteps(*root, true), sent);
    EXPECT_EQ(first.loadFileAsString(), second.loadFileAsString());
}

TEST_F(Presets, AnUpperCaseExtensionLoads)
{
    const auto file =
        write("Show.VLP", "Show\nBEGIN_OSC_DATA\n/channel/1/delay fi 1.5 180\nEND_OSC_DATA");
    ASSERT_TRUE(doc->loadDocument(file).wasOk());
    EXPECT_EQ(delay(1).del().getStep(), 150);
    EXPECT_EQ(doc->getDocumentTitle(), "Show");
}

TEST_F(Presets, TitleRules)
{
    const auto club = write("club.vlp", "Club Night Front\nBEGIN_OSC_DATA\nEND_OSC_DATA");
    ASSERT_TRUE(doc->loadDocument(club).wasOk());
    EXPECT_EQ(doc->getDocumentTitle(), "Club Night");

    // The begin marker on the first line is the title line itself.
    delay(1).del().setValue(50.0f);
    const auto plain = write("plain.vlp", defaultPresetText);
    ASSERT_TRUE(doc->loadDocument(plain).wasOk());
    EXPECT_EQ(doc->getDocumentTitle(), "BEGIN_OSC_");
    EXPECT_EQ(delay(1).del().getValue(), 0.0f);

    // No markers: loads, changes only the title.
    const auto none = write("none.vlp", "Only a title\nno data");
    ASSERT_TRUE(doc->loadDocument(none).wasOk());
    EXPECT_EQ(doc->getDocumentTitle(), "Only a tit");
}

TEST_F(Presets, TheReadersToleranceOfOddLines)
{
    const std::string text = "Odd\r\n"
                             "  begin_osc_data  \r\n"
                             "/channel/1/peq/2 fff PEQ 120 -3 2.0\r\n"   // wrong tags: still read
                             "Xchannel/1/delay fi 1.5 180\r\n"           // first character unseen
                             " /channel/2/delay fi 9.5 180\r\n"          // leading space: ignored
                             "/channel/2/delay\r\n"                      // no values: ignored
                             "/channel/9/delay fi 1 0\r\n"               // no block: ignored
                             "/channel/1/xover/lp   sf   LR24   2k5\r\n" // extra spaces
                             "/channel/2/peq/8 sfff HS6 15k001 +1.5 1\r\n"
                             "End_OSC_Data   \r\n"
                             "/channel/1/delay fi 99 0\r\n"; // after the end marker
    const auto file = write("odd.vlp", text);
    ASSERT_TRUE(doc->loadDocument(file).wasOk());

    EXPECT_EQ(band(1, 2).type().choiceText(), "PEQ");
    EXPECT_NEAR(band(1, 2).freq().getValue(), 120.0f, 0.05f);
    EXPECT_EQ(band(1, 2).gain().getValue(), -3.0f);
    EXPECT_FLOAT_EQ(band(1, 2).qual().getValue(), 2.0f);
    EXPECT_FLOAT_EQ(delay(1).del().getValue(), 1.5f);
    EXPECT_EQ(delay(1).pol().getStep(), 180);
    EXPECT_EQ(delay(2).text(), "   0.00 0");
    EXPECT_EQ(root->channels[0]->xover->lp->type().choiceText(), "LR24");
    EXPECT_NEAR(root->channels[0]->xover->lp->freq().getValue(), 2500.0f, 0.5f);
    EXPECT_NEAR(band(2, 8).freq().getValue(), 15001.0f, 1.0f);
    EXPECT_EQ(doc->getDocumentTitle(), "Odd");
}

TEST_F(Presets, AnEndMarkerBeforeTheBeginMarkerAppliesNothing)
{
    const auto file =
        write("back.vlp", "t\nend_osc_data\nbegin_osc_data\n/channel/1/delay fi 5 0\nEND_OSC_DATA");
    ASSERT_TRUE(doc->loadDocument(file).wasOk());
    EXPECT_EQ(delay(1).del().getValue(), 0.0f);
}

TEST_F(Presets, TheVlpCounterpartIsWhatIsReadAndWritten)
{
    doc->setPresetTitle("Ext");
    ASSERT_TRUE(doc->saveDocument(dir.getChildFile("preset.txt")).wasOk());
    EXPECT_TRUE(dir.getChildFile("preset.vlp").existsAsFile());
    EXPECT_FALSE(dir.getChildFile("preset.txt").existsAsFile());

    // An existing .txt whose .vlp is missing: a failure, and nothing changes.
    write("other.txt", "Other\nBEGIN_OSC_DATA\n/channel/1/delay fi 5 0\nEND_OSC_DATA");
    const auto result = doc->loadDocument(dir.getChildFile("other.txt"));
    EXPECT_TRUE(result.failed());
    EXPECT_EQ(result.getErrorMessage(), "Not a valid Preset (.vlp) file");
    EXPECT_EQ(doc->getDocumentTitle(), "Ext");
    EXPECT_EQ(delay(1).del().getValue(), 0.0f);
}

TEST_F(Presets, AFailedWriteLeavesTheOldFile)
{
    if (geteuid() == 0)
    {
        // root may write anywhere: use a path that cannot be a file instead.
        const auto blocker = dir.getChildFile("blocked.vlp");
        ASSERT_TRUE(blocker.createDirectory());
        blocker.getChildFile("keep").replaceWithText("x");
        const auto result = doc->saveDocument(blocker);
        EXPECT_TRUE(result.failed());
        EXPECT_EQ(result.getErrorMessage(), "Couldn't write to the file.");
        EXPECT_TRUE(blocker.getChildFile("keep").existsAsFile());
        return;
    }
    const auto locked = dir.getChildFile("locked");
    ASSERT_TRUE(locked.createDirectory());
    const auto old = locked.getChildFile("old.vlp");
    old.replaceWithText("old content");
    locked.setReadOnly(true);
    const auto result = doc->saveDocument(old);
    locked.setReadOnly(false);
    EXPECT_TRUE(result.failed());
    EXPECT_EQ(result.getErrorMessage(), "Couldn't write to the file.");
    EXPECT_EQ(old.loadFileAsString(), "old content");
}

TEST_F(Presets, TheRecentFilesListSurvivesARestartAndDropsMissingFiles)
{
    std::vector<juce::File> files;
    for (int i = 0; i < 12; ++i)
        files.push_back(write("p" + juce::String(i) + ".vlp", "x"));
    for (const auto& f : files)
        doc->setLastDocumentOpened(f);
    EXPECT_EQ(doc->getLastDocumentOpened(), files.back());
    EXPECT_EQ(settings->recentFiles().getNumFiles(), 10);
    EXPECT_TRUE(settings->settingsFile().existsAsFile());
    EXPECT_TRUE(settings->settingsFile().getFullPathName().endsWith("Vorn Series.settings"));

    files[11].deleteFile();
    doc.reset();
    settings = std::make_unique<SettingsStore>(options());
    ASSERT_EQ(settings->recentFiles().getNumFiles(), 9);
    EXPECT_EQ(settings->recentFiles().getFile(0), files[10]);
    EXPECT_EQ(settings->recentFiles().getFile(8), files[2]);
}

TEST(SettingsLocation, FollowsXdgConfigHome)
{
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old != nullptr ? old : "";
    setenv("XDG_CONFIG_HOME", "/tmp/velmora-xdg", 1);
    EXPECT_EQ(SettingsStore::defaultOptions().getDefaultFile().getFullPathName(),
              "/tmp/velmora-xdg/Vorn Series/Vorn Series.settings");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsStore::defaultOptions().getDefaultFile().getFullPathName(),
              juce::File("~/.config/Vorn Series/Vorn Series.settings").getFullPathName());
    if (old != nullptr)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
}

TEST_F(Presets, MalformedFilesOfAnySizeLoadWithoutHarm)
{
    juce::Random random(42);
    std::string garbage(65536, '\0');
    for (auto& c : garbage)
        c = static_cast<char>(random.nextInt(256));
    std::string longLine = "BEGIN_OSC_DATA\n/channel/1/delay fi " +
                           std::string(10 * 1024 * 1024, '7') + "\nEND_OSC_DATA";
    std::string noLineEnds(10 * 1024 * 1024, 'a');
    std::string nulAndMarkers =
        std::string("\0\0BEGIN_OSC_DATA\0\n/channel/1/peq/1\0 sfff \xff\xfe\n\0END_OSC_DATA", 48);

    int i = 0;
    for (const auto* text : {&garbage, &longLine, &noLineEnds, &nulAndMarkers})
    {
        const auto file = write("bad" + juce::String(i++) + ".vlp", *text);
        EXPECT_TRUE(doc->loadDocument(file).wasOk());
        EXPECT_LE(doc->getDocumentTitle().length(), 10);
    }
    EXPECT_EQ(delay(1).del().getValue(), 300.0f); // the long number, clamped
}

} // namespace

namespace
{

TEST_F(Presets, ATenMegabyteBinaryFileLoadsAtOnce)
{
    // Random bytes, the first line as long as the file (an invalid byte
    // first, so the title cannot be taken as it is), or broken into lines.
    constexpr std::size_t size = 10 * 1024 * 1024;
    juce::Random random(7);
    std::string oneLine(size, '\0');
    for (auto& c : oneLine)
    {
        c = static_cast<char>(random.nextInt(256));
        if (c == '\n' || c == '\0')
            c = '\x80';
    }
    oneLine[0] = '\xff';
    std::string lines = oneLine;
    for (std::size_t i = 100; i < lines.size();
         i += 1 + static_cast<std::size_t>(random.nextInt(200)))
        lines[i] = '\n';

    int i = 0;
    for (const auto* text : {&oneLine, &lines})
    {
        const auto file = write("binary" + juce::String(i++) + ".vlp", *text);
        const auto start = juce::Time::getMillisecondCounterHiRes();
        const auto result = doc->loadDocument(file);
        const auto elapsed = juce::Time::getMillisecondCounterHiRes() - start;
        EXPECT_TRUE(result.wasOk());
        EXPECT_LE(doc->getDocumentTitle().length(), 10);
        // Well under a second on a desktop; the bound leaves room for a
        // loaded machine and sanitizer builds, not for work that grows with
        // the square of the size (minutes).
        EXPECT_LT(elapsed, 5000.0) << "file " << i;
    }
}

} // namespace

namespace
{

// A text editor's other ways of saving the same preset.
std::string utf16(const std::string& ascii, bool bigEndian)
{
    std::string out = bigEndian ? "\xfe\xff" : "\xff\xfe";
    for (const char c : ascii)
    {
        if (bigEndian)
            out += '\0';
        out += c;
        if (! bigEndian)
            out += '\0';
    }
    return out;
}

TEST_F(Presets, TextWithAByteOrderMarkOrInUtf16Loads)
{
    const std::string text = "Marked\r\nBEGIN_OSC_DATA\r\n/channel/1/delay fi 1.5 180\r\n"
                             "/channel/2/peq/3 sfff HS12 1k2 -4.5 2.0\r\nEND_OSC_DATA\r\n";
    const struct
    {
        const char* name;
        std::string bytes;
    } files[] = {{"utf8-bom.vlp", "\xef\xbb\xbf" + text},
                 {"utf16-le.vlp", utf16(text, false)},
                 {"utf16-be.vlp", utf16(text, true)}};
    for (const auto& f : files)
    {
        delay(1).del().setValue(0.0f);
        delay(1).pol().setStep(0);
        band(2, 3).type().setStep(0);
        ASSERT_TRUE(doc->loadDocument(write(f.name, f.bytes)).wasOk()) << f.name;
        EXPECT_EQ(doc->getDocumentTitle(), "Marked") << f.name;
        EXPECT_EQ(delay(1).del().getStep(), 150) << f.name;
        EXPECT_EQ(delay(1).pol().getStep(), 180) << f.name;
        EXPECT_EQ(band(2, 3).type().choiceText(), "HS12") << f.name;
        EXPECT_NEAR(band(2, 3).freq().getValue(), 1200.0f, 6.0f) << f.name;
        EXPECT_EQ(band(2, 3).gain().getValue(), -4.5f) << f.name;
    }
}

} // namespace

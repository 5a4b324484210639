#include "presetDocument.h"

#include "DefaultPreset.h"

namespace velmora
{
namespace
{

const char* const notValid = "Not a valid Preset (.vlp) file";
const char* const cannotWrite = "Couldn't write to the file.";

bool isMarker(std::string_view line, std::string_view marker)
{
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r' ||
                               line[i] == '\v' || line[i] == '\f'))
        ++i;
    if (line.size() - i < marker.size())
        return false;
    for (std::size_t k = 0; k < marker.size(); ++k)
    {
        char c = line[i + k];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != marker[k])
            return false;
    }
    return true;
}

// Titles come from files of any content: valid UTF-8 is shown as it is,
// anything else as printable ASCII.
juce::String titleFromBytes(std::string_view bytes)
{
    if (juce::CharPointer_UTF8::isValidString(bytes.data(), static_cast<int>(bytes.size())) &&
        bytes.find('\0') == std::string_view::npos)
        return juce::String::fromUTF8(bytes.data(), static_cast<int>(bytes.size()));
    // Built whole and converted once: growing a juce::String a character at
    // a time copies it each time, which freezes the window on a large file.
    std::string printable(bytes);
    for (char& c : printable)
        if (c < 0x20 || c >= 0x7f)
            c = '?';
    return juce::String(printable.data(), printable.size());
}

std::size_t skipSpaces(std::string_view line, std::size_t i)
{
    while (i < line.size() && line[i] == ' ')
        ++i;
    return i;
}

} // namespace

presetDocument::presetDocument(Croot& r, SettingsStore& s)
    : juce::FileBasedDocument(".vlp", "*.vlp", "Open a preset file...", "Save as preset file..."),
      root(r), settings(s)
{
    applyPresetText(defaultPresetText);
}

void presetDocument::applyPresetText(std::string_view text)
{
    presetLines.clear();
    std::size_t start = 0;
    while (start <= text.size())
    {
        std::size_t end = text.find('\n', start);
        const bool last = end == std::string_view::npos;
        if (last)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (! last && ! line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (! (last && line.empty() && ! presetLines.empty()))
            presetLines.emplace_back(line);
        if (last)
            break;
        start = end + 1;
    }

    presetTitle = presetLines.empty() ? juce::String() : titleFromBytes(presetLines.front());

    std::size_t begin = presetLines.size();
    std::size_t end = presetLines.size();
    for (std::size_t i = 0; i < presetLines.size(); ++i)
    {
        if (begin == presetLines.size() && isMarker(presetLines[i], "BEGIN_OSC_DATA"))
            begin = i;
        if (end == presetLines.size() && isMarker(presetLines[i], "END_OSC_DATA"))
            end = i;
    }
    if (begin == presetLines.size() || end == presetLines.size() || end <= begin)
        return;
    for (std::size_t i = begin + 1; i < end; ++i)
        applyPresetLine(presetLines[i] + "\n");
}

void presetDocument::applyPresetLine(std::string_view line)
{
    const auto firstSpace = line.find(' ');
    const std::size_t tags =
        firstSpace == std::string_view::npos ? 0 : skipSpaces(line, firstSpace + 1);
    const auto secondSpace = line.find(' ', tags);
    const std::size_t values =
        secondSpace == std::string_view::npos ? 0 : skipSpaces(line, secondSpace + 1);

    // No type-tag field: fewer than three fields.
    if (values <= tags)
        return;
    // The address's first character (its "/") is dropped unseen; the lookup
    // stops at the blanks after it.
    if (line.size() < 1 || tags < 1)
        return;
    Cnode* block = findNode(line.substr(1, tags - 1), root);
    if (block == nullptr)
        return;
    // The type tags are not compared: the values are read as the block's own.
    block->readText(line.substr(values));
}

std::string presetDocument::buildPresetText()
{
    presetLines.clear();
    presetLines.push_back(presetTitle.toStdString());
    presetLines.emplace_back("BEGIN_OSC_DATA");
    forEachBlock(
        root, [this](Cnode& block)
        { presetLines.push_back(block.getPath() + " " + typeTags(block) + block.fileText()); });
    presetLines.emplace_back("END_OSC_DATA");

    std::string text;
    for (std::size_t i = 0; i < presetLines.size(); ++i)
    {
        if (i > 0)
            text += '\n';
        text += presetLines[i];
    }
    return text;
}

juce::Result presetDocument::loadDocument(const juce::File& file)
{
    // The chooser offers ".VLP" too (its pattern ignores case): such a file
    // is read as it is named.
    const juce::File f =
        file.getFileExtension().equalsIgnoreCase(".vlp") ? file : file.withFileExtension(".vlp");
    // A path whose ".vlp" file is missing loads nothing and says so.
    if (f == juce::File() || ! f.existsAsFile())
        return juce::Result::fail(notValid);

    juce::FileInputStream in(f);
    if (! in.openedOk())
        return juce::Result::fail(notValid);
    // Read as text: the toolkit drops a UTF-8 byte-order mark and decodes
    // UTF-16 with either mark, as text editors may save a preset.
    const std::string text = in.readEntireStreamAsString().toStdString();
    applyPresetText(text);
    presetTitle = presetTitle.substring(0, titleLength);
    return juce::Result::ok();
}

juce::Result presetDocument::saveDocument(const juce::File& file)
{
    const juce::File f = fileToWrite(file);
    const std::string text = buildPresetText();

    // Written to a temporary file that then replaces the target, so a failed
    // write leaves the old file as it was.
    juce::TemporaryFile temporary(f);
    {
        juce::FileOutputStream out(temporary.getFile());
        if (! out.openedOk() || ! out.write(text.data(), text.size()))
            return juce::Result::fail(cannotWrite);
        out.flush();
        if (out.getStatus().failed())
            return juce::Result::fail(cannotWrite);
    }
    if (! temporary.overwriteTargetFileWithTemporary())
        return juce::Result::fail(cannotWrite);
    return juce::Result::ok();
}

juce::File presetDocument::getLastDocumentOpened()
{
    return settings.mostRecentFile();
}

void presetDocument::setLastDocumentOpened(const juce::File& file)
{
    settings.addRecentFile(file);
}

} // namespace velmora

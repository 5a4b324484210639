#pragma once

#include <juce_graphics/juce_graphics.h>

// The editor's colours, shared by the main panel and the pages.
namespace velmora::palette
{

const juce::Colour text {0xffa8a8a8};    // labels, group titles
const juce::Colour amber {0xfffdbb30};   // button texts, lit meters, chosen row online
const juce::Colour panel {0xff333333};   // buttons, the column
const juce::Colour outline {0xff5c5c5c}; // group outlines
const juce::Colour wash {0x50ffffff};    // editable boxes, the device table
const juce::Colour tab {0xff606060};

} // namespace velmora::palette

#pragma once

#include <juce_graphics/juce_graphics.h>

// The editor's colours, shared by the main panel and the pages.
namespace velmora::palette
{

const juce::Colour text {0xffa8a8a8};       // labels, group titles, a button's text when on
const juce::Colour amber {0xfffdbb30};      // button texts, lit meters, chosen row online
const juce::Colour panel {0xff333333};      // buttons, the column, the strip behind tab bars
const juce::Colour outline {0xff5c5c5c};    // group outlines
const juce::Colour wash {0x50ffffff};       // editable boxes of the Setup page, the device table
const juce::Colour tab {0xff606060};        // tabs
const juce::Colour knobBack {0xff9f2f2f};   // a knob's track and thumb
const juce::Colour boxOutline {0x60a8a8a8}; // value boxes
const juce::Colour blue {0xff2e79ff};       // channel B's curves
const juce::Colour red {0xffff0000};        // "Mute", "Lock" and "Bypass" when on

} // namespace velmora::palette

#pragma once

namespace velmora
{

// The built-in default preset: 41 lines, the begin marker first, no title.
extern const char* const defaultPresetText;

} // namespace velmora

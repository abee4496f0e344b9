#pragma once
// --play FILE: plays a step-signal WAV file through the sound card with the program's own
// player, so that a machine can be checked without the window.

#include "tool.h"

namespace kerf::tool {

// The command itself; it needs the player (Qt Multimedia), library kerf_tool_play.
Command play_command();

// The same option in a build without the player: it says so and exits with status 1.
Command play_unavailable_command();

}  // namespace kerf::tool

// --play in a build without the player.

#include "play_command.h"

namespace kerf::tool {

Command play_unavailable_command() {
    Command play;
    play.selector = {"--play", "FILE", "the WAV file to play (not available in this build)"};
    play.title = "Playing a file (--play)";
    play.description =
        "  Plays a step-signal file through the sound card. This build of the tool was made\n"
        "  without the sound player, so --play only says that it is not available.\n";
    play.run = [](const Values&, std::ostream&, std::ostream&) -> int {
        throw UsageError(
            "--play is not available in this build (it was built without the sound "
            "player)");
    };
    return play;
}

}  // namespace kerf::tool

#pragma once

#include <QLatin1String>
#include <QString>
#include <QtGlobal>

// Registers the compiled resources of kerf_resources. Q_INIT_RESOURCE declares a function of the
// global namespace, so it is called from here and not from inside namespace kerf.
inline void kerf_resources_register() { Q_INIT_RESOURCE(kerf_resources); }

namespace kerf {

// Makes sure the pictures and texts below can be opened. A program that links kerf_resources
// normally has them registered already at start-up; calling this again does no harm.
inline void init_resources() { kerf_resources_register(); }

// Resource paths. The button pictures are 129 (stop: 128) by 138; the workpiece drawing 704 by
// 373; the wood tile 43 by 56; logo and program icon are square.
namespace resource {
inline constexpr QLatin1String start_image{":/images/start.svg"};
inline constexpr QLatin1String stop_image{":/images/stop.svg"};
inline constexpr QLatin1String home_image{":/images/home.svg"};
inline constexpr QLatin1String startpressed_image{":/images/startpressed.svg"};
inline constexpr QLatin1String logo_image{":/images/logo.svg"};
inline constexpr QLatin1String workpiece_image{":/images/workpiece.svg"};
inline constexpr QLatin1String wood_image{":/images/wood.svg"};
inline constexpr QLatin1String program_icon{":/images/kerfplanner.svg"};
inline constexpr QLatin1String safety_text{":/text/safety.txt"};
}  // namespace resource

// The safety notice as plain text (UTF-8 in the resource): paragraphs separated by one empty
// line, no trailing line break. Empty only if the resource is missing from the program.
QString safety_notice();

}  // namespace kerf

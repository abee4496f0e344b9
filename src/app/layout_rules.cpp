#include "layout_rules.h"

#include <cmath>

namespace kerf {
namespace {

constexpr float kTextSlack = 35;   // room the label keeps beside its text
constexpr float kLineGap = 2;      // between two lines of a label
constexpr float kRowPadding = 10;  // above and below the label's lines
constexpr float kEditClearance = 5;
// More lines than this cannot be seen in any window; the bound keeps a window narrowed to
// almost nothing from asking for rows of absurd height.
constexpr double kMostLines = 1000;

}  // namespace

float viewing_scale(double slider_value) { return static_cast<float>(slider_value / 10.0 + 1.0); }

EntryRowFit fit_entry_row(float usable_width, float scale, float text_width, float text_height,
                          float edit_height) {
    EntryRowFit fit{};
    fit.label_width = usable_width * 2.0f / 3.0f;
    const float line_height = scale * text_height;
    fit.lines = 1;
    if (fit.label_width > 0) {
        const double whole = std::trunc((text_width + kTextSlack) / fit.label_width);
        if (whole > 0) fit.lines = static_cast<int>(std::fmin(whole, kMostLines)) + 1;
    }
    const float candidate = static_cast<float>(fit.lines) * (line_height + kLineGap) + kRowPadding;
    const float lowest = edit_height + kEditClearance;
    fit.height = candidate > lowest ? candidate : lowest;
    return fit;
}

}  // namespace kerf

#pragma once
// The numbers of the adaptive layout: the viewing scale of a slider value, the fit of one
// entry row, and the thresholds of the Program tab's chart area. All sizes are logical units,
// that is device-independent pixels inside a tab magnified by the viewing scale.

namespace kerf {

// The chart area is small below this height (the Program tab turns compact) and large above
// the other (the banner and the run-button panels take the excess).
inline constexpr double kSmallChartArea = 100.1;
inline constexpr double kLargeChartArea = 300.1;
// Sizes closer than this are the same size: setting one changes nothing.
inline constexpr double kSameSize = 0.001;

// The viewing scale for a slider value from 0 to 10: value / 10 + 1, so 1.0 to 2.0.
float viewing_scale(double slider_value);

struct EntryRowFit {
    float label_width;  // logical width of the row's label
    int lines;          // lines given to the label's text
    float height;       // logical height of the row
};

// The fit of one entry row to the usable width W at the viewing scale s. text_width and
// text_height are the label text's size in its unmagnified font; edit_height is the logical
// height of the row's edit box. The label takes two thirds of W; its text gets one line more
// for every label width that the text width plus 35 reaches; the row is never lower than the
// edit box plus 5. A usable width of zero or less gives one line.
EntryRowFit fit_entry_row(float usable_width, float scale, float text_width, float text_height,
                          float edit_height);

}  // namespace kerf

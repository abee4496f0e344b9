#pragma once
// Moves in the window through real clicks, the real worker and the real player. Motion
// settings that make short moves keep the tests quick: 40 steps per millimetre, a ramp of
// 10 ms from 1000 to 20000 steps/s. Moves are really planned, written and played.

#include <QPointF>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "window_fixture.h"

class BannerRecorder;

class MovesTest : public WindowTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The settings file of a window with the Program and Move tabs open and the fast
    // motion settings; extra lines are added to section "program".
    void write_settings(const QByteArray& extra = {});
    // Opens the window with write_settings(extra) and starts recording the banner.
    Tjoint_form& open_moves(const QByteArray& extra = {});

    // Every text the banner showed, in order, each once per change.
    QStringList banners() const;
    void clear_banners();

    // Clicks a button as the operator does.
    static void click(QWidget* button);
    // Types a value into a field (on its tab).
    void set_field(TFrame1* field, const QString& text);

    // Waits until the job waits for the operator's cut (run button "Continue"); false on
    // timeout or when the move failed.
    bool wait_for_cut();
    // Waits until both run buttons are idle again.
    bool wait_for_idle();
    // Waits until the player plays.
    bool wait_for_playing();
    // Waits until the banner shows text starting with prefix.
    bool wait_for_banner(const QString& prefix);
    // Waits for workers of earlier moves to end.
    static bool wait_for_workers();

    // The settings the tests use, for computing wanted steps.
    static constexpr double kStepsPerMm = 40.0;
    static std::int64_t steps_for(double mm);

    // Pulses of a WAV file (0 when missing).
    static std::int64_t file_pulses(const QString& path);
    // Identity of a file on disk (inode), 0 when missing: a rewritten file gets a new one
    // (the inode is kept in use by a link in the test's home, so it is never reused).
    std::uint64_t file_id(const QString& path) const;

    QString cache(const char* name) const;  // path of a cached file
    // Log lines containing text.
    QStringList log_with(const QString& text) const;
    // The planner's banner texts among banners().
    QStringList planner_banners() const;

    BannerRecorder* recorder_ = nullptr;
};

// The chart's points, for comparisons.
std::vector<QPointF> chart_points(const Tjoint_form& w);

// Moves, playback and stop: the run buttons, the Stop buttons and the two playback timers.
//
// A move is requested by a run button: its cached file is replayed, or its worker plans and
// writes the file and hands it over through the filewritten timer. filewritten loads and
// starts the file; checktimer follows it to its end and puts the window into the state
// that follows. The image index of the run button is the state of the move (0 idle,
// 4 moving, 1 waiting for the operator's cut); every move also has a stop flag of its own,
// which quitjob sets, so that a stopped move can never come back to life.

#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>

#include "TabbedTemplate.h"
#include "frameUnit.h"
#include "image_button.h"
#include "image_list.h"
#include "image_view.h"
#include "job_plan.h"
#include "message_dialog.h"
#include "numbers.h"
#include "progress_chart.h"
#include "tab_control.h"

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

const QString kNil = QStringLiteral("nil");

// How long closing the window waits for stopped workers to end.
constexpr int kCloseWaitMs = 5000;

int bar_value(qint64 frames) {
    return int(std::clamp<qint64>(frames, 0, std::numeric_limits<int>::max()));
}

}  // namespace

// ---- Requesting a move ----------------------------------------------------------------

void Tjoint_form::show_moving(kerf::ImageButton* AButton) {
    // A new move starts: no tick of an earlier, stopped move may act on it.
    filewritten->stop();
    checktimer->stop();
    AButton->setEnabled(false);
    AButton->setImageIndex(kerf::kImageStartPressed);
    set_banner(QStringLiteral("Moving do not cut"), kerf::kBannerMoving);
}

bool Tjoint_form::movement_possible(double distance) const {
    const auto mm = kerf::parse_decimal(mm_rev->text().toStdString());
    const auto steps = kerf::parse_whole(steps_rev->text().toStdString());
    if (!mm || !steps) return false;  // no reuse: the move itself reports the setting
    kerf::MotionSettings settings;
    settings.mm_rev = *mm;
    settings.steps_rev = *steps;
    return kerf::movement_possible(distance, settings);
}

void Tjoint_form::right(double distance, QProgressBar* Aprogress, kerf::ImageButton* AButton,
                        const QString& am_name, std::function<void()> on_complete) {
    show_moving(AButton);
    Take_steps(distance, Aprogress, AButton, am_name, std::move(on_complete));
}

void Tjoint_form::move_error(const QString& message) {
    // The move does not go on: the run button stays disabled in the moving state and the
    // banner says why, until the operator presses Stop.
    const QString text = QStringLiteral("Error: ") + message;
    set_banner_text(text);
    log(text, true);
}

void Tjoint_form::Take_steps(double adist, QProgressBar* Aprogress, kerf::ImageButton* AButton,
                             const QString& am_name, std::function<void()> on_complete) {
    (void)AButton;  // the move's own stop flag stands for the button's image index
    const kerf::StopFlag stop = moves.begin_move();
    total_steps = 0;

    // The motion settings as the worker uses them from start to end.
    kerf::MotionSettings settings;
    try {
        settings.f_min = minfreq->integer_value();
        settings.f_max = maxfreq->integer_value();
        settings.t_ramp = st_time->float_value();
        settings.steps_rev = steps_rev->integer_value();
        settings.mm_rev = mm_rev->float_value();
    } catch (const std::exception& e) {
        move_error(QString::fromUtf8(e.what()));
        return;
    }
    if (const auto fault = kerf::check_motion_settings(settings)) {
        move_error(qs(*fault));
        return;
    }
    try {
        ensure_data_folder();
    } catch (const std::exception& e) {
        move_error(QString::fromUtf8(e.what()));
        return;
    }

    kerf::MoveRequest request;
    request.distance_mm = adist;
    request.settings = settings;
    request.file = am_name.toStdString();
    request.stop = stop;

    kerf::WindowActions actions;
    actions.no_movement = [this] {
        log(QStringLiteral("Distance less than half a step. no movement."), false);
        playfilename = kNil;
        filewritten->start();
    };
    actions.banner = [this](const std::string& text) { set_banner_text(qs(text)); };
    actions.writer_start = [this, Aprogress] {
        memplay.clear();
        Aprogress->setMaximum(100);
        Aprogress->setValue(0);
    };
    actions.progress = [Aprogress] {
        Aprogress->setValue(std::min(Aprogress->value() + 2, Aprogress->maximum()));
        Aprogress->repaint();
    };
    actions.done = [this, on_complete](const std::string& file, std::int32_t pulses) {
        set_banner_text(QStringLiteral("Moving, do not cut"));
        playfilename = qs(file);
        total_steps = pulses;
        // Only a file the writer has completed may be replayed for this move's distance.
        if (on_complete) on_complete();
        filewritten->start();
    };
    actions.error = [this](const std::string& message) { move_error(qs(message)); };
    actions.log = [this](const std::string& message, bool critical) { log(qs(message), critical); };

    try {
        kerf::start_move(std::move(request), std::make_shared<kerf::WindowSteps>(
                                                 moves.link(), stop, std::move(actions)));
    } catch (const std::exception& e) {
        move_error(QStringLiteral("The move could not be started: ") + QString::fromUtf8(e.what()));
    }
}

void Tjoint_form::request_move(double distance, bool reusable, QProgressBar* Aprogress,
                               kerf::ImageButton* AButton, const QString& am_name,
                               bool& recalculate, std::function<void()> on_complete) {
    if (reusable) {
        // The cached file is played unchanged; no worker runs.
        show_moving(AButton);
        moves.begin_move();
        filewritten->start();
        filewrittenTimer();  // a ready file starts now rather than at the next tick
        return;
    }
    // The file under the cache name is not the one for this distance until the writer
    // reports the new one complete; a stopped or failed move leaves it marked for rebuilding.
    recalculate = true;
    right(distance, Aprogress, AButton, am_name,
          [&recalculate, on_complete = std::move(on_complete)] {
              on_complete();
              recalculate = false;
          });
}

// ---- The joint job --------------------------------------------------------------------

void Tjoint_form::startstopbuttonClick() {
    // The button is disabled while a move of either run button is in progress; a click
    // that reaches it all the same must not start a second move.
    if (startstopbutton->imageIndex() == kerf::kImageStartPressed ||
        homebutton->imageIndex() != kerf::kImageStart)
        return;

    homing = false;
    memplay.clear();

    start_positionX = start_x->float_value();
    const double cut = cut_width->float_value();
    width_of_pin = Pin_width->float_value();
    width_of_saw = saw_width->float_value();
    const std::int32_t cuts = no_cuts->integer_value();

    if (const auto message = kerf::reject_job(width_of_saw, cut, width_of_pin, cuts)) {
        reject_job(qs(*message));
        return;
    }

    const kerf::FillPlan plan = kerf::plan_fill(cut, width_of_saw);
    w_Counter = plan.w_Counter;
    fill_cut = plan.fill_cut;
    cut_counter = 0;
    fast_counter = -1;

    if (startstopbutton->imageIndex() == kerf::kImageStart) {
        save_settings();
        log(QStringLiteral("New program"), false);
        ProgressChart->clear();
        TabControl1->setTabEnabled(TabItem3, false);
        TabControl1->setTabEnabled(TabItem2, false);
        jobquit->show();
        ProgressChart->show();
        ProgressChart->set_title(QStringLiteral("Moving to Start position"));
        workpiece_Image->hide();
        ProgressChart->add_point(0, 0);
        ProgressChart->add_point(0, 100);

        stage_counter = 1;
        right_action = 1;
        playfilename = Start_file_name;
        log(QStringLiteral("playfilename: ") + playfilename, false);
        const QString start_text = start_x->text();
        const bool reusable = start_text == old_start_x && movement_possible(start_positionX) &&
                              QFileInfo::exists(playfilename) && !recalculate_wav_start;
        request_move(start_positionX, reusable, ProgressBar1, startstopbutton, Start_file_name,
                     recalculate_wav_start, [this, start_text] { old_start_x = start_text; });
        return;
    }

    ++stage_counter;
    const kerf::Stage stage = kerf::walk_stages(stage_counter, w_Counter, cuts);
    cut_counter = stage.cut_counter;
    fast_counter = stage.fast_counter;
    const auto counters_line = [&] {
        return QStringLiteral(
                   "Fastcounter: %1, cutcounter %2, processcounter: %3, "
                   "stagecounter: %4, wcounter: %5")
            .arg(fast_counter)
            .arg(cut_counter)
            .arg(stage.processcounter)
            .arg(stage_counter)
            .arg(w_Counter);
    };

    switch (stage.kind) {
        case kerf::StageKind::fill: {
            ProgressChart->set_title(
                qs(kerf::moving_title(fill_cut, std::int64_t(fast_counter) + 2,
                                      std::int64_t(w_Counter) + 1, std::int64_t(cut_counter) + 1)));
            right_action = 2;
            playfilename = Fill_cut_file_name;
            log(QStringLiteral("playfilename: ") + playfilename, false);
            log(counters_line(), false);
            const double distance = fill_cut;
            const bool reusable = std::fabs(old_fill_cut - distance) < kerf::kJobTolerance &&
                                  movement_possible(distance) && QFileInfo::exists(playfilename) &&
                                  !recalculate_wav_fill_cut;
            request_move(distance, reusable, ProgressBar1, startstopbutton, Fill_cut_file_name,
                         recalculate_wav_fill_cut, [this, distance] { old_fill_cut = distance; });
            break;
        }
        case kerf::StageKind::pin: {
            const double distance = width_of_pin + width_of_saw;
            ProgressChart->set_title(qs(kerf::moving_title(distance, 1, std::int64_t(w_Counter) + 1,
                                                           std::int64_t(cut_counter) + 1)));
            ProgressChart->add_point(curX + width_of_saw, 100);
            right_action = 3;
            playfilename = Pin_file_name;
            log(QStringLiteral("playfilename: ") + playfilename, false);
            log(counters_line(), false);
            const bool reusable = std::fabs(old_pin - distance) < kerf::kJobTolerance &&
                                  movement_possible(distance) && QFileInfo::exists(playfilename) &&
                                  !recalculate_wav_Pin;
            request_move(distance, reusable, ProgressBar1, startstopbutton, Pin_file_name,
                         recalculate_wav_Pin, [this, distance] { old_pin = distance; });
            break;
        }
        case kerf::StageKind::end:
            end_job();
            break;
        case kerf::StageKind::none:
            break;
    }
}

void Tjoint_form::end_job() {
    startstopbutton->setImageIndex(kerf::kImageStart);
    startstopbutton->setEnabled(true);
    TabControl1->setTabEnabled(TabItem2, true);
    TabControl1->setTabEnabled(TabItem3, true);
    jobquit->hide();
    startstopbutton->setText(QStringLiteral("Start"));
    startstopbutton->setHint(QStringLiteral("Press to start movement to Start position"));
    set_banner(QStringLiteral("Kerfplanner"), kerf::kBannerIdle);
    ProgressChart->hide();
    for (TFrame1* field : {saw_width, cut_width, Pin_width, no_cuts, start_x})
        field->setEnabled(true);
    workpiece_Image->show();
    ProgressBar1->setValue(0);
}

void Tjoint_form::reject_job(const QString& message) {
    kerf::show_message(this, QMessageBox::Information, message, QMessageBox::Ok,
                       [this, message](QMessageBox::StandardButton button) {
                           if (button != QMessageBox::Ok) return;
                           quitjob();
                           log(message, true);
                           set_banner(message, kerf::kBannerIdle);
                       });
}

// ---- The manual move ------------------------------------------------------------------

void Tjoint_form::homebuttonClick() {
    // Only an idle window starts a manual move; the button is disabled otherwise, and a
    // click that reaches it all the same must not touch a move in progress.
    if (homebutton->imageIndex() != kerf::kImageStart ||
        startstopbutton->imageIndex() != kerf::kImageStart)
        return;

    homing = true;
    memplay.clear();
    save_settings();
    log(QStringLiteral("Make movement"), false);
    TabControl1->setTabEnabled(TabItem1, false);
    TabControl1->setTabEnabled(TabItem2, false);
    Homequit->show();

    const double d = distance->float_value();
    playfilename = Home_file_name;
    const QString text = distance->text();
    const bool reusable = text == old_home_dist && movement_possible(d) &&
                          QFileInfo::exists(playfilename) && !recalculate_wav_home;
    request_move(d, reusable, ProgressBar2, homebutton, Home_file_name, recalculate_wav_home,
                 [this, text] { old_home_dist = text; });
}

// ---- Stop -----------------------------------------------------------------------------

void Tjoint_form::quitjob() {
    // The cancellation of the move in progress: its worker ends at its next test, nothing
    // of it reaches the window any more, its sound ends now, and its timers tick no more
    // (a late tick could otherwise act on the next move).
    moves.stop_current();
    memplay.stop();
    filewritten->stop();
    checktimer->stop();

    startstopbutton->setImageIndex(kerf::kImageStart);
    homebutton->setImageIndex(kerf::kImageStart);
    startstopbutton->setText(QStringLiteral("Start"));
    homebutton->setText(QStringLiteral("Start"));
    startstopbutton->setHint(QStringLiteral("Press to start movement to Start position"));
    homebutton->setEnabled(true);
    TabControl1->setTabEnabled(TabItem3, true);
    TabControl1->setTabEnabled(TabItem2, true);
    TabControl1->setTabEnabled(TabItem1, true);
    startstopbutton->setEnabled(true);
    for (TFrame1* field : {saw_width, cut_width, Pin_width, no_cuts, start_x})
        field->setEnabled(true);
    workpiece_Image->show();
    ProgressChart->hide();
    jobquit->hide();
    Homequit->hide();
}

void Tjoint_form::cancel_job() {
    quitjob();
    log(QStringLiteral("Job cancelled by user"), false);
    set_banner(QStringLiteral("Job cancelled by user"), kerf::kBannerIdle);
    ProgressBar1->setValue(0);
}

void Tjoint_form::jobquitClick() {
    if (homing) {
        quitjob();
        log(QStringLiteral("Movement stopped by user"), false);
        set_banner(QStringLiteral("Movement stopped by user"), kerf::kBannerIdle);
        ProgressBar2->setValue(0);
        return;
    }
    if (startstopbutton->isEnabled()) {
        // The job waits for the operator's cut: ask first.
        kerf::show_message(this, QMessageBox::Information,
                           QStringLiteral("This will cancel the current job, are you sure ?"),
                           QMessageBox::Yes | QMessageBox::No,
                           [this](QMessageBox::StandardButton button) {
                               if (button == QMessageBox::Yes) cancel_job();
                           });
        return;
    }
    cancel_job();  // a move is being prepared or played: stop it at once
}

// ---- Playback -------------------------------------------------------------------------

void Tjoint_form::filewrittenTimer() {
    kerf::ImageButton* button = homing ? homebutton : startstopbutton;
    QProgressBar* bar = homing ? ProgressBar2 : ProgressBar1;
    // A move stopped while its file was awaited is neither loaded nor started.
    if (button->imageIndex() == kerf::kImageStart || moves.current_stopped()) {
        filewritten->stop();
        return;
    }
    if (playfilename != kNil && QFileInfo::exists(playfilename)) {
        filewritten->stop();
        memplay.clear();
        memplay.setFileName(playfilename);
        if (!memplay.hasMedia()) {
            // The move did not play: say so, keep the job where it is, wait for Stop.
            const QString why = memplay.lastError();
            if (!why.isEmpty()) log(why, false);
            const QString text =
                QStringLiteral("Wav file does exist but error loading .wav file into mediaplayer.");
            log(text, true);
            set_banner_text(QStringLiteral("Error: ") + text);
            // The file is built anew the next time it is wanted.
            if (playfilename == Start_file_name) recalculate_wav_start = true;
            if (playfilename == Fill_cut_file_name) recalculate_wav_fill_cut = true;
            if (playfilename == Pin_file_name) recalculate_wav_Pin = true;
            if (playfilename == Home_file_name) recalculate_wav_home = true;
            return;
        }
        if (!homing) log(QStringLiteral("Playing: ") + memplay.fileName(), false);
        bar->setValue(0);
        bar->setMaximum(bar_value(memplay.duration()));
        memplay.play();
        checktimer->start();
        return;
    }
    if (playfilename == kNil) {
        filewritten->stop();
        checktimer->start();  // nothing to play: the move ends at the next tick
    }
    // Otherwise the file is not there yet: look again at the next tick.
}

void Tjoint_form::checktimerTimer() {
    kerf::ImageButton* button = homing ? homebutton : startstopbutton;
    QProgressBar* bar = homing ? ProgressBar2 : ProgressBar1;
    const bool stopped = button->imageIndex() == kerf::kImageStart || moves.current_stopped();
    using State = kerf::MediaPlayer::State;

    if (memplay.currentTime() != memplay.duration() && memplay.state() != State::Stopped &&
        !stopped) {
        bar->setValue(bar_value(memplay.currentTime()));
        return;
    }

    checktimer->stop();
    if (!stopped) bar->setValue(bar_value(memplay.currentTime()));
    memplay.stop();

    if (stopped) {
        if (memplay.currentTime() != memplay.duration() && memplay.state() != State::Stopped) {
            log(QStringLiteral("Stopped by user"), false);
            set_banner(QStringLiteral("Stopped by user"), kerf::kBannerIdle);
            bar->setValue(0);
        }
        return;
    }

    // A move whose sound ended before the end of its file has not brought the carriage to
    // its place: it is not reported as done.
    if (playfilename != kNil &&
        (memplay.failed() || !memplay.hasMedia() || memplay.currentTime() != memplay.duration())) {
        QString why = memplay.lastError();
        if (why.isEmpty()) why = QStringLiteral("The sound of the move ended before its end.");
        move_error(why + QStringLiteral(" The carriage has not reached its place."));
        return;
    }

    if (homing) {
        quitjob();
        set_banner(QStringLiteral("Finished movement"), kerf::kBannerIdle);
        bar->setValue(0);
        return;
    }
    job_move_ended();
}

void Tjoint_form::job_move_ended() {
    set_banner(QStringLiteral("Make the cut now"), kerf::kBannerCut);
    startstopbutton->setImageIndex(kerf::kImageContinue);
    startstopbutton->setEnabled(true);
    startstopbutton->setText(QStringLiteral("Continue"));
    startstopbutton->setHint(QStringLiteral("Press to start movement for next cut"));

    const auto title = [this](std::int64_t pass) {
        ProgressChart->set_title(qs(kerf::in_position_title(pass, std::int64_t(w_Counter) + 1,
                                                            std::int64_t(cut_counter) + 1)));
    };
    switch (right_action) {
        case 1:
            curX = start_positionX;
            ProgressChart->add_point(curX, 100);
            title(std::int64_t(fast_counter) + 2);
            ProgressChart->add_point(curX, 50);
            ProgressChart->add_point(curX + width_of_saw, 50);
            for (TFrame1* field : {saw_width, cut_width, Pin_width, no_cuts, start_x})
                field->setEnabled(false);
            break;
        case 2:
            curX = curX + fill_cut;
            ProgressChart->add_point(curX + width_of_saw, 50);
            title(std::int64_t(fast_counter) + 2);
            break;
        case 3:
            curX = curX + width_of_pin + width_of_saw;
            ProgressChart->add_point(curX, 100);
            title(1);
            ProgressChart->add_point(curX, 50);
            ProgressChart->add_point(curX + width_of_saw, 50);
            break;
        default:
            break;
    }
}

void Tjoint_form::FormCloseQuery(bool& CanClose) {
    // The step signal ends with the window, at once; the worker of a move in progress is
    // stopped (a file it had not finished is removed, never left under a cache name), and
    // the window waits a moment for stopped workers so that none outlives it.
    memplay.stop();
    filewritten->stop();
    checktimer->stop();
    moves.close(kCloseWaitMs);
    CanClose = true;
}

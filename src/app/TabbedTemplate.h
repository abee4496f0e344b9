#pragma once
// The window of Kerfplanner. It owns every control, the timers, the media player and all
// state of a run. Controls carry their names as object names.
//
// Its handlers are split by topic:
//   TabbedTemplate.cpp           creation, access states, keys, activation, exceptions
//   TabbedTemplate_controls.cpp  the control tree
//   TabbedTemplate_log.cpp       event log, banner, callout
//   TabbedTemplate_fields.cpp    exit checks of the entry fields and their warning
//   TabbedTemplate_settings.cpp  settings file and WAV cache
//   TabbedTemplate_layout.cpp    adaptive layout and viewing scale
//   TabbedTemplate_moves.cpp     moves, playback and stop

#include <QColor>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <exception>
#include <functional>

#include "media_player.h"
#include "window_steps.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QScrollArea;
class QTimer;
class QVariantAnimation;
class TFrame1;

namespace kerf {
class CalloutPanel;
class ImageButton;
class ImageView;
class IniStore;
class Magnifier;
class ProgressChart;
class PushButton;
class TabControl;
class TrackBar;

// Banner colours (ARGB).
inline constexpr QRgb kBannerIdle = 0xFFE0FFFF;    // light cyan: nothing moves, no cut due
inline constexpr QRgb kBannerMoving = 0xFFFF0000;  // red: the carriage moves, do not cut
inline constexpr QRgb kBannerCut = 0xFF00FF00;     // green: in position, make the cut now

inline constexpr int kLogCapacity = 251;
}  // namespace kerf

class Tjoint_form : public QWidget {
    Q_OBJECT
  public:
    explicit Tjoint_form(QWidget* parent = nullptr);
    ~Tjoint_form() override;

    // ---- Controls -------------------------------------------------------------------
    QWidget* Layout1 = nullptr;
    QWidget* HeaderToolBar = nullptr;
    QFrame* cutpanel = nullptr;
    QLabel* cutlabel = nullptr;
    kerf::TabControl* TabControl1 = nullptr;
    QWidget* TabItem1 = nullptr;  // "Program"
    QWidget* TabItem3 = nullptr;  // "Move"
    QWidget* TabItem2 = nullptr;  // "Settings"
    QWidget* TabItem4 = nullptr;  // "About" / "Before you begin"

    // Program tab
    QScrollArea* VertScrollBox1 = nullptr;
    TFrame1* saw_width = nullptr;
    TFrame1* start_x = nullptr;
    TFrame1* no_cuts = nullptr;
    TFrame1* Pin_width = nullptr;
    TFrame1* cut_width = nullptr;
    QFrame* Panel5 = nullptr;
    QFrame* Panel2 = nullptr;
    kerf::ImageButton* startstopbutton = nullptr;
    kerf::ImageButton* jobquit = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    kerf::ProgressChart* ProgressChart = nullptr;
    kerf::ImageView* workpiece_Image = nullptr;
    QFrame* Panel1 = nullptr;

    // Move tab
    QScrollArea* VertScrollBox3 = nullptr;
    TFrame1* distance = nullptr;
    QFrame* Panel3 = nullptr;
    kerf::ImageButton* homebutton = nullptr;
    kerf::ImageButton* Homequit = nullptr;
    QProgressBar* ProgressBar2 = nullptr;
    QPlainTextEdit* LogMemo = nullptr;

    // Settings tab
    QScrollArea* VertScrollBox2 = nullptr;
    TFrame1* minfreq = nullptr;
    TFrame1* st_time = nullptr;
    TFrame1* steps_rev = nullptr;
    TFrame1* mm_rev = nullptr;
    TFrame1* maxfreq = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    kerf::TrackBar* TrackBar1 = nullptr;
    QFrame* Panel4 = nullptr;
    kerf::PushButton* Saveset = nullptr;

    // About tab
    QScrollArea* VertScrollBox4 = nullptr;
    QFrame* Panel9 = nullptr;
    kerf::ImageView* ImageControl2 = nullptr;
    QFrame* Panel10 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Version = nullptr;
    QPlainTextEdit* Safety = nullptr;
    QFrame* Safety_Panel = nullptr;
    QCheckBox* Safety_check = nullptr;

    // Callout, floating above the tabs
    kerf::CalloutPanel* CalloutPanel1 = nullptr;
    QLabel* Calloutlabel = nullptr;
    QVariantAnimation* FloatAnimation1 = nullptr;

    // Non-visual components
    kerf::MediaPlayer memplay;
    QTimer* filewritten = nullptr;
    QTimer* checktimer = nullptr;
    QTimer* showerror = nullptr;

    // ---- State ----------------------------------------------------------------------
    QString playfilename;  // the WAV file played next; "nil" when no movement is needed
    QString IniFileName;
    std::int32_t total_steps = 0;
    std::int32_t sub_total_steps = 0;
    std::int32_t right_action = 0;  // 1 start position, 2 fill move, 3 pin move
    std::int32_t cut_counter = 0;
    std::int32_t fast_counter = 0;
    std::int32_t w_Counter = 0;
    std::int32_t stage_counter = 0;
    double start_positionX = 0;
    double fill_cut = 0;
    double width_of_saw = 0;
    double width_of_pin = 0;
    double old_pin = 0;
    double old_fill_cut = 0;
    double curX = 0;
    float thescale = 1.0f;
    bool homing = false;
    bool settings_read = false;
    bool recalculate_wav_Pin = false;
    bool recalculate_wav_home = false;
    bool recalculate_wav_start = false;
    bool recalculate_wav_fill_cut = false;
    QString Fill_cut_file_name;
    QString Home_file_name;
    QString Start_file_name;
    QString Pin_file_name;
    QString old_start_x;
    QString error_control;
    QString old_min_freq;
    QString old_max_freq;
    QString old_steps_rev;
    QString old_mm_rev;
    QString old_st_time;
    QString old_home_dist;

    // The folder of the cached WAV files; created when a file is first written.
    QString DataFolder;

    // ---- Operations -----------------------------------------------------------------
    // Creation
    void FormCreate();
    static void set_number_format();
    void Safety_checkChange();
    void FormKeyDown(QKeyEvent* event);
    void FormActivate();
    void FormResize();
    void FormCloseQuery(bool& CanClose);
    void report_exception(const std::exception& error);

    // Event log, banner, callout
    void log(const QString& aMessage, bool critical);
    void initlog();
    void cutlabelClick();
    void FloatAnimation1Finish();
    void set_banner(const QString& text, QRgb colour);
    void set_banner_text(const QString& text);
    QColor banner_colour() const;

    // Entry fields (sender: the field's edit box)
    void check_if_float(QObject* Sender);
    void check_if_integer(QObject* Sender);
    void no_cutsEdExit(QObject* Sender);
    void maxfreqEdExit(QObject* Sender);
    void showerrorTimer();

    // Settings file and WAV cache
    void read_settings(const kerf::IniStore& store);
    void save_settings();
    void SavesetClick();
    // Creates the data folder of the cached files when it is missing; throws when it cannot.
    void ensure_data_folder() const;

    // Layout and viewing scale
    void arrange_layout();
    void TrackBar1Tracking();
    void TabControl1Change();
    void TabControl1Resize();
    void startstopbuttonEnter(QWidget* Sender);
    void startstopbuttonExit(QWidget* Sender);

    // Moves
    void startstopbuttonClick();
    void homebuttonClick();
    void jobquitClick();
    void filewrittenTimer();
    void checktimerTimer();
    void quitjob();
    // Puts the run button and the banner into the moving state.
    void show_moving(kerf::ImageButton* AButton);
    // Requests a move: show_moving, then Take_steps. on_complete runs on this thread when
    // the writer reports the file complete (never for a stopped or failed move).
    void right(double distance, QProgressBar* Aprogress, kerf::ImageButton* AButton,
               const QString& am_name, std::function<void()> on_complete = {});
    // Starts the move's worker and returns at once.
    void Take_steps(double adist, QProgressBar* Aprogress, kerf::ImageButton* AButton,
                    const QString& am_name, std::function<void()> on_complete = {});
    // At least half a motor step for distance, by the present mm_rev and steps_rev.
    bool movement_possible(double distance) const;
    // The moves of this window: the current move's stop flag and the link of its workers.
    kerf::MoveSession moves{this};

    // Tab access: a hidden tab is not shown in the strip; a disabled one cannot be chosen.
    bool is_acknowledged() const;

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Layout and viewing scale (TabbedTemplate_layout.cpp)
    kerf::Magnifier* magnifier();
    void arrange_pass();
    kerf::Magnifier* magnifier_ = nullptr;  // magnifies the four tabs' contents
    bool arranging_ = false;      // arrange_layout runs; a nested call asks for one more pass
    bool arrange_again_ = false;  // a size changed under arrange_layout: fit once more

    // Moves (TabbedTemplate_moves.cpp)
    void request_move(double distance, bool reusable, QProgressBar* Aprogress,
                      kerf::ImageButton* AButton, const QString& am_name, bool& recalculate,
                      std::function<void()> on_complete);
    void move_error(const QString& message);
    void job_move_ended();
    void end_job();
    void cancel_job();
    void reject_job(const QString& message);

    void create_controls();
    void create_program_tab();
    void create_move_tab();
    void create_settings_tab();
    void create_about_tab();
    void create_callout();
    void create_timers();
    void connect_handlers();
};

// The settings file Kerfplanner.ini and the cache of step-signal WAV files.

#include <QCheckBox>
#include <QFrame>
#include <QMessageBox>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "TabbedTemplate.h"
#include "file_paths.h"
#include "frameUnit.h"
#include "ini_store.h"
#include "layout_rules.h"
#include "message_dialog.h"
#include "track_bar.h"

namespace {

enum class Kind { Decimal, Whole };

struct Key {
    const char* name;
    TFrame1* Tjoint_form::*field;
    Kind kind;
};

// The eleven text keys in the order in which they are checked and written.
constexpr Key kTextKeys[] = {
    {"saw_width", &Tjoint_form::saw_width, Kind::Decimal},
    {"distance", &Tjoint_form::distance, Kind::Decimal},
    {"pin_width", &Tjoint_form::Pin_width, Kind::Decimal},
    {"cut_width", &Tjoint_form::cut_width, Kind::Decimal},
    {"no_cuts", &Tjoint_form::no_cuts, Kind::Whole},
    {"start_x", &Tjoint_form::start_x, Kind::Decimal},
    {"minfreq", &Tjoint_form::minfreq, Kind::Whole},
    {"maxfreq", &Tjoint_form::maxfreq, Kind::Whole},
    {"steps_rev", &Tjoint_form::steps_rev, Kind::Whole},
    {"mm_rev", &Tjoint_form::mm_rev, Kind::Decimal},
    {"st_time", &Tjoint_form::st_time, Kind::Decimal},
};

std::string utf8(const QString& text) { return text.toStdString(); }

bool valid(const TFrame1& field, Kind kind) {
    return kind == Kind::Decimal ? field.is_float() : field.is_integer();
}

void validate(const TFrame1& field, Kind kind) {
    if (kind == Kind::Decimal)
        field.validate_float();
    else
        field.validate_integer();
}

}  // namespace

void Tjoint_form::read_settings(const kerf::IniStore& store) {
    for (const Key& key : kTextKeys) {
        TFrame1* field = this->*key.field;
        field->setText(QString::fromStdString(store.text(key.name).value_or(utf8(field->text()))));
        if (field == minfreq) old_min_freq = field->text();
        if (field == maxfreq) old_max_freq = field->text();
        if (field == steps_rev) old_steps_rev = field->text();
        if (field == mm_rev) old_mm_rev = field->text();
        if (field == st_time) old_st_time = field->text();
    }

    Safety_check->setChecked(store.boolean("is_checked").value_or(Safety_check->isChecked()));
    Safety_Panel->setVisible(!Safety_check->isChecked());

    TrackBar1->setValue(store.decimal("scale").value_or(0.0));
    // The slider stands at its design value 1 while the window is still unscaled, so a
    // stored 1 moves nothing: apply it all the same.
    if (thescale != kerf::viewing_scale(TrackBar1->value())) TrackBar1Tracking();

    memplay.setVolume(1.0);
}

void Tjoint_form::save_settings() {
    // A fresh account may have no configuration folder yet.
    try {
        kerf::ensure_folder(std::filesystem::path(utf8(IniFileName)).parent_path().string());
    } catch (const std::exception& e) {
        throw std::runtime_error("Cannot write the settings file " + utf8(IniFileName) + ": " +
                                 e.what());
    }
    kerf::IniStore store(utf8(IniFileName));
    bool changed = false;
    for (const Key& key : kTextKeys) {
        const TFrame1& field = *(this->*key.field);
        if (!valid(field, key.kind)) {
            // The keys before the failed one stay written; it and the rest keep their values.
            if (changed) store.save();
            validate(field, key.kind);
        }
        store.set_text(key.name, utf8(field.text()));
        changed = true;
    }
    store.set_decimal("scale", TrackBar1->value());
    store.set_boolean("is_checked", Safety_check->isChecked());
    store.save();

    if (minfreq->text() == old_min_freq && maxfreq->text() == old_max_freq &&
        steps_rev->text() == old_steps_rev && mm_rev->text() == old_mm_rev &&
        st_time->text() == old_st_time)
        return;
    old_min_freq = minfreq->text();
    old_max_freq = maxfreq->text();
    old_steps_rev = steps_rev->text();
    old_mm_rev = mm_rev->text();
    old_st_time = st_time->text();

    memplay.clear();
    for (const QString& name :
         {Fill_cut_file_name, Start_file_name, Home_file_name, Pin_file_name}) {
        const std::filesystem::path path(utf8(name));
        std::error_code error;
        if (std::filesystem::exists(path, error)) std::filesystem::remove(path, error);
        if (std::filesystem::exists(path, error))
            log(QStringLiteral("File: ") + name +
                    QStringLiteral(" not deleted, might cause problems writing new file."),
                true);
    }
    recalculate_wav_start = true;
    recalculate_wav_Pin = true;
    recalculate_wav_fill_cut = true;
    recalculate_wav_home = true;
}

void Tjoint_form::SavesetClick() {
    save_settings();
    kerf::show_message(this, QMessageBox::Information, QStringLiteral("Settings saved"),
                       QMessageBox::Ok, [this](QMessageBox::StandardButton button) {
                           if (button == QMessageBox::Ok)
                               log(QStringLiteral("Settings saved"), false);
                       });
}

void Tjoint_form::ensure_data_folder() const { kerf::ensure_folder(utf8(DataFolder)); }

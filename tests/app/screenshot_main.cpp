// Saves a picture of every tab of the window, as a user sees it, into a folder.
// Run under a real X server (xvfb-run) with a temporary home; see scripts/screenshot.
//
//   kerf_screenshot FOLDER [PREFIX]
//
// Pictures: PREFIX<n>-<tab>.png for each visible tab, and for an acknowledged window also
// the Program tab during a job (chart and Stop button) and the callout of a critical line.
// Then every visible tab at each viewing scale (slider 0, 5 and 10: 1.0, 1.5 and 2.0) and
// window size (the start size, a large window and a low one that makes the Program tab
// compact): PREFIXscale<factor>-<size>-<tab>.png, and the Program tab during a job at the
// start size: PREFIXscale<factor>-start-job.png.

#include <QDir>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTextStream>
#include <QVariantAnimation>
#include <cstdio>

#include "TabbedTemplate.h"
#include "application.h"
#include "callout_panel.h"
#include "image_button.h"
#include "image_view.h"
#include "kerf_resources.h"
#include "progress_chart.h"
#include "tab_control.h"
#include "track_bar.h"

namespace {

struct Size {
    const char* name;
    int width;
    int height;
};

constexpr Size kSizes[] = {{"start", 447, 622}, {"large", 1000, 1200}, {"low", 447, 400}};
constexpr double kScales[] = {0, 5, 10};  // slider values

bool save(QWidget& window, const QString& path) {
    QTest::qWait(150);
    const bool ok = window.grab().save(path);
    std::fprintf(stdout, "%s %s\n", ok ? "saved" : "FAILED", qPrintable(path));
    return ok;
}

// Every visible tab at every scale and size, each picture of a window settled at its size.
bool save_sizes_and_scales(Tjoint_form& window, const QString& folder, const QString& prefix) {
    bool ok = true;
    // Back to rest: no callout, the picture in place of the chart, no Stop button.
    window.CalloutPanel1->hide();
    window.ProgressChart->hide();
    window.workpiece_Image->show();
    window.jobquit->hide();
    window.startstopbutton->setEnabled(true);
    window.startstopbutton->setImageIndex(0);
    window.startstopbutton->setText(QStringLiteral("Start"));
    window.ProgressBar1->setValue(0);
    window.set_banner(QStringLiteral("Kerfplanner"), kerf::kBannerIdle);
    for (const double scale : kScales) {
        window.TrackBar1->setValue(scale);
        const QString factor = QString::number(scale / 10 + 1, 'f', 1);
        for (const Size& size : kSizes) {
            // Twice: a banner grown in a large window holds the window's least height until
            // the layout has given the room back.
            for (int i = 0; i < 2; ++i) {
                window.resize(size.width, size.height);
                QTest::qWait(100);
            }
            for (int i = 0; i < window.TabControl1->count(); ++i) {
                if (!window.TabControl1->isTabVisible(i)) continue;
                window.TabControl1->setCurrentIndex(i);
                const QString name = window.TabControl1->widget(i)->objectName();
                ok &= save(window,
                           QStringLiteral("%1/%2scale%3-%4-%5.png")
                               .arg(folder, prefix, factor, QString::fromLatin1(size.name), name));
            }
        }
        // The Program tab during a job at the start size: chart, Stop button, their texts.
        for (int i = 0; i < 2; ++i) {
            window.resize(kSizes[0].width, kSizes[0].height);
            QTest::qWait(100);
        }
        if (window.is_acknowledged()) {
            window.TabControl1->setCurrentWidget(window.TabItem1);
            window.workpiece_Image->hide();
            window.ProgressChart->show();
            window.jobquit->show();
            ok &= save(window,
                       QStringLiteral("%1/%2scale%3-start-job.png").arg(folder, prefix, factor));
            // A compact tab scrolls: the chart is then at its bottom.
            QScrollBar* scroll = window.VertScrollBox1->verticalScrollBar();
            scroll->setValue(scroll->maximum());
            ok &= save(
                window,
                QStringLiteral("%1/%2scale%3-start-job-scrolled.png").arg(folder, prefix, factor));
            scroll->setValue(0);
            window.ProgressChart->hide();
            window.workpiece_Image->show();
            window.jobquit->hide();
        }
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    kerf::Application app(argc, argv);
    kerf::init_resources();
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: kerf_screenshot FOLDER [PREFIX]\n");
        return 1;
    }
    const QString folder = args.at(1);
    const QString prefix = args.size() > 2 ? args.at(2) : QString();
    QDir().mkpath(folder);

    Tjoint_form window;
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowExposed(&window)) return 2;
    (void)QTest::qWaitForWindowActive(&window);
    window.FormActivate();

    bool ok = true;
    int n = 1;
    for (int i = 0; i < window.TabControl1->count(); ++i) {
        if (!window.TabControl1->isTabVisible(i)) continue;
        window.TabControl1->setCurrentIndex(i);
        const QString name = window.TabControl1->widget(i)->objectName();
        ok &= save(window, QStringLiteral("%1/%2%3-%4.png").arg(folder, prefix).arg(n++).arg(name));
    }

    if (window.is_acknowledged()) {
        // A job in progress: the chart instead of the picture, the Stop button, green banner.
        window.TabControl1->setCurrentWidget(window.TabItem1);
        window.workpiece_Image->hide();
        window.ProgressChart->show();
        window.jobquit->show();
        window.startstopbutton->setText(QStringLiteral("Continue"));
        window.startstopbutton->setImageIndex(1);
        window.ProgressChart->set_title(
            QStringLiteral("In Position for cutting: 2 of 4 for cut: 1"));
        for (const QPointF& p : {QPointF(0, 0), QPointF(0, 100), QPointF(12, 100), QPointF(12, 50),
                                 QPointF(15.2, 50), QPointF(17.47, 50)})
            window.ProgressChart->add_point(p.x(), p.y());
        window.set_banner(QStringLiteral("Make the cut now"), kerf::kBannerCut);
        window.startstopbutton->setFocus();
        ok &= save(window, QStringLiteral("%1/%2%3-job.png").arg(folder, prefix).arg(n++));

        window.set_banner(QStringLiteral("Moving do not cut"), kerf::kBannerMoving);
        window.startstopbutton->setImageIndex(4);
        window.startstopbutton->setEnabled(false);
        window.ProgressBar1->setValue(40);
        ok &= save(window, QStringLiteral("%1/%2%3-moving.png").arg(folder, prefix).arg(n++));

        window.log(QStringLiteral("File: /home/user/.local/share/Fillcut.wav not deleted, might "
                                  "cause problems writing new file."),
                   true);
        window.TabControl1->setCurrentWidget(window.TabItem3);
        window.cutlabelClick();
        window.FloatAnimation1->setCurrentTime(2500);
        ok &= save(window, QStringLiteral("%1/%2%3-callout.png").arg(folder, prefix).arg(n++));
    }
    ok &= save_sizes_and_scales(window, folder, prefix);
    return ok ? 0 : 3;
}

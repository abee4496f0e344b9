// Saves a picture of every tab of the window, as a user sees it, into a folder.
// Run under a real X server (xvfb-run) with a temporary home; see scripts/screenshot.
//
//   kerf_screenshot FOLDER [PREFIX]
//
// Pictures: PREFIX<n>-<tab>.png for each visible tab, and for an acknowledged window also
// the Program tab during a job (chart and Stop button) and the callout of a critical line.

#include <QDir>
#include <QPlainTextEdit>
#include <QProgressBar>
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

namespace {

bool save(QWidget& window, const QString& path) {
    QTest::qWait(150);
    const bool ok = window.grab().save(path);
    std::fprintf(stdout, "%s %s\n", ok ? "saved" : "FAILED", qPrintable(path));
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
    return ok ? 0 : 3;
}

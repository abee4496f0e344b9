// The event log, the status banner and the callout of the last critical line.

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "TabbedTemplate.h"
#include "callout_panel.h"
#include "event_log.h"

void Tjoint_form::log(const QString& aMessage, bool critical) {
    const QString line = kerf::log_line(QDateTime::currentDateTime(), QLocale::system(), aMessage);
    QTextDocument* document = LogMemo->document();
    const bool empty = document->isEmpty();
    const int lines = empty ? 0 : document->blockCount();
    if (lines > kerf::kLogCapacity - 1) {
        QTextCursor first(document->firstBlock());
        first.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        first.removeSelectedText();
    }
    LogMemo->appendPlainText(line);
    LogMemo->moveCursor(QTextCursor::End);
    LogMemo->ensureCursorVisible();
    LogMemo->verticalScrollBar()->setValue(LogMemo->verticalScrollBar()->maximum());
    if (critical)
        Calloutlabel->setText(QStringLiteral("Last logged critical information: ") + line);
}

void Tjoint_form::initlog() { LogMemo->clear(); }

void Tjoint_form::set_banner(const QString& text, QRgb colour) {
    set_banner_text(text);
    QPalette palette = cutpanel->palette();
    palette.setColor(QPalette::Window, QColor::fromRgba(colour));
    cutpanel->setPalette(palette);
    cutpanel->repaint();
}

void Tjoint_form::set_banner_text(const QString& text) {
    cutlabel->setText(text);
    cutlabel->repaint();
}

QColor Tjoint_form::banner_colour() const { return cutpanel->palette().color(QPalette::Window); }

void Tjoint_form::cutlabelClick() {
    if (Calloutlabel->text().isEmpty()) return;
    CalloutPanel1->resize(width(), height() / 4);
    CalloutPanel1->raise();
    // Turning visible starts the animation; a panel already showing only changes its size.
    CalloutPanel1->show();
}

void Tjoint_form::FloatAnimation1Finish() { CalloutPanel1->hide(); }

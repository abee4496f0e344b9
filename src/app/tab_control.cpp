#include "tab_control.h"

#include <QResizeEvent>
#include <algorithm>

namespace kerf {

void TabBar::relayout() {
    // Setting the icon size marks the tab layout dirty and asks for a new geometry.
    setIconSize(iconSize());
}

QSize TabBar::tabSizeHint(int index) const {
    QSize size = QTabBar::tabSizeHint(index);
    size.setHeight(kTabHeight);
    int visible = 0;
    for (int i = 0; i < count(); ++i) visible += isTabVisible(i) ? 1 : 0;
    const QWidget* strip = parentWidget();
    if (visible > 0 && strip) {
        // The last visible tab takes the pixels that the division leaves over.
        int width = strip->width() / visible;
        int last = count() - 1;
        while (last > 0 && !isTabVisible(last)) --last;
        if (index == last) width = strip->width() - width * (visible - 1);
        size.setWidth(std::max(width, 1));
    }
    return size;
}

QSize TabBar::minimumTabSizeHint(int index) const {
    // Never wider than what the strip has: the window may be made narrow.
    QSize size = QTabBar::minimumTabSizeHint(index);
    size.setHeight(kTabHeight);
    return size;
}

TabControl::TabControl(QWidget* parent) : QTabWidget(parent), bar_(new TabBar(this)) {
    bar_->setExpanding(true);
    bar_->setUsesScrollButtons(true);  // keeps the minimum width small; never needed
    bar_->setElideMode(Qt::ElideRight);
    setTabBar(bar_);
}

void TabControl::setTabVisible(QWidget* page, bool visible) {
    QTabWidget::setTabVisible(indexOf(page), visible);
    bar_->relayout();
}

bool TabControl::isTabVisible(QWidget* page) const {
    return QTabWidget::isTabVisible(indexOf(page));
}

void TabControl::setTabEnabled(QWidget* page, bool enabled) {
    QTabWidget::setTabEnabled(indexOf(page), enabled);
}

bool TabControl::isTabEnabled(QWidget* page) const {
    return QTabWidget::isTabEnabled(indexOf(page));
}

void TabControl::setTabText(QWidget* page, const QString& text) {
    QTabWidget::setTabText(indexOf(page), text);
}

QString TabControl::tabText(QWidget* page) const { return QTabWidget::tabText(indexOf(page)); }

void TabControl::resizeEvent(QResizeEvent* event) {
    if (event->size().width() != event->oldSize().width()) bar_->relayout();
    QTabWidget::resizeEvent(event);
    Q_EMIT resized();
}

}  // namespace kerf

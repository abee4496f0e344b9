#pragma once
// The tab control: its tabs share the full width of the strip, each 49 high, and it
// reports its resizes.

#include <QTabBar>
#include <QTabWidget>

namespace kerf {

class TabBar : public QTabBar {
    Q_OBJECT
  public:
    static constexpr int kTabHeight = 49;
    using QTabBar::QTabBar;

    // Lays the tabs out anew for a changed width of the tab control.
    void relayout();

  protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
};

class TabControl : public QTabWidget {
    Q_OBJECT
  public:
    explicit TabControl(QWidget* parent = nullptr);

    TabBar* bar() const { return bar_; }
    void setTabVisible(QWidget* page, bool visible);
    bool isTabVisible(QWidget* page) const;
    void setTabEnabled(QWidget* page, bool enabled);
    bool isTabEnabled(QWidget* page) const;
    void setTabText(QWidget* page, const QString& text);
    QString tabText(QWidget* page) const;
    using QTabWidget::isTabEnabled;
    using QTabWidget::isTabVisible;
    using QTabWidget::setTabEnabled;
    using QTabWidget::setTabText;
    using QTabWidget::setTabVisible;
    using QTabWidget::tabText;

  Q_SIGNALS:
    void resized();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    TabBar* bar_;
};

}  // namespace kerf

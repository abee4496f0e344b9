#pragma once
// A button that presses itself on Enter as on space, when it has the focus and no modifier
// key is held, and consumes both keys. With a modifier the key goes on to the window.

#include <QPushButton>

namespace kerf {

class PushButton : public QPushButton {
    Q_OBJECT
  public:
    explicit PushButton(const QString& text, QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
};

}  // namespace kerf

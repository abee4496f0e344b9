#pragma once
// The entry frame: a caption label and a text edit that holds a number as text. The text is
// the value; every use converts it with the program's one number parser.

#include <QFrame>
#include <QLineEdit>
#include <QString>
#include <cstdint>

class QLabel;

namespace kerf {

// The edit of an entry frame. exited() is sent when the focus leaves it for another control
// of the window; not when the window as a whole loses the focus or a menu pops up.
class EntryEdit : public QLineEdit {
    Q_OBJECT
  public:
    using QLineEdit::QLineEdit;

  Q_SIGNALS:
    void exited();

  protected:
    void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace kerf

class TFrame1 : public QFrame {
    Q_OBJECT
  public:
    static constexpr int kEditHeight = 32;
    static constexpr int kRowHeight = kEditHeight + 5;

    // name: the frame's object name; caption: the label's text; text: the edit's text.
    TFrame1(const QString& name, const QString& caption, const QString& text,
            QWidget* parent = nullptr);

    QLabel* Label1;
    kerf::EntryEdit* Ed;

    QString text() const;
    void setText(const QString& text);
    QString caption() const;

    // Throw kerf::UserError naming the text and the field when the text is not a decimal
    // number or not a whole number.
    void validate_float() const;
    void validate_integer() const;

    // The checked values: validate, then convert.
    double float_value() const;
    std::int32_t integer_value() const;

    bool is_float() const;
    bool is_integer() const;

    // Fits the label width and the row height to the usable width and the viewing scale.
    void rescale(float FutureWidth, float thescale);
};

#include "frameUnit.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>

#include "numbers.h"
#include "user_error.h"

namespace kerf {

void EntryEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A warning dialog, another program's window or a context menu takes the focus from the
    // whole window: the operator has not left the field.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    Q_EMIT exited();
}

}  // namespace kerf

namespace {

std::string utf8(const QString& text) { return text.toStdString(); }

}  // namespace

TFrame1::TFrame1(const QString& name, const QString& caption, const QString& text, QWidget* parent)
    : QFrame(parent), Label1(new QLabel(caption, this)), Ed(new kerf::EntryEdit(text, this)) {
    setObjectName(name);
    Label1->setObjectName(QStringLiteral("Label1"));
    Ed->setObjectName(QStringLiteral("Ed"));

    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    Label1->setContentsMargins(4, 0, 4, 0);
    Label1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    Ed->setFixedHeight(kEditHeight);
    Ed->setInputMethodHints(Qt::ImhFormattedNumbersOnly);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Label1, 2);
    auto* edit_box = new QVBoxLayout;
    edit_box->setContentsMargins(3, 3, 10, 3);
    edit_box->addStretch(1);
    edit_box->addWidget(Ed);
    edit_box->addStretch(1);
    layout->addLayout(edit_box, 1);
    setMinimumHeight(kRowHeight);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QString TFrame1::text() const { return Ed->text(); }

void TFrame1::setText(const QString& text) { Ed->setText(text); }

QString TFrame1::caption() const { return Label1->text(); }

bool TFrame1::is_float() const { return kerf::parse_decimal(utf8(Ed->text())).has_value(); }

bool TFrame1::is_integer() const { return kerf::parse_whole(utf8(Ed->text())).has_value(); }

void TFrame1::validate_float() const { (void)float_value(); }

void TFrame1::validate_integer() const { (void)integer_value(); }

double TFrame1::float_value() const {
    if (const auto value = kerf::parse_decimal(utf8(Ed->text()))) return *value;
    throw kerf::UserError(utf8(Ed->text() + QStringLiteral(" inside ") + Label1->text() +
                               QStringLiteral(" is not a valid floating point number.")));
}

std::int32_t TFrame1::integer_value() const {
    if (const auto value = kerf::parse_whole(utf8(Ed->text()))) return *value;
    throw kerf::UserError(utf8(Ed->text() + QStringLiteral(" inside ") + Label1->text() +
                               QStringLiteral(" is not a valid round number.")));
}

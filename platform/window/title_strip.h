// The title strip at the top of a form window: the form's title and the
// done button (ok, or the cancel form's cross).
#pragma once

#include "platform/window/form_window.h"

#include <QWidget>

#include <cstdint>
#include <functional>

class QLabel;
class QToolButton;

namespace vellum::platform {

class TitleStrip final : public QWidget {
public:
    // command receives kCommandOk or kCommandCancel when the done button is clicked.
    TitleStrip(QWidget* parent, std::function<void(int32_t)> command);
    void SetTitle(const QString& title);
    void SetDoneButton(DoneButton kind);
    QToolButton* DoneButtonWidget() const { return done; }

private:
    QLabel* title_;
    QToolButton* done;
    DoneButton kind = DoneButton::Hidden;
};

} // namespace vellum::platform

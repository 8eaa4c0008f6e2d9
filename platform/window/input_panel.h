// The input panel: an on-screen keyboard the form raises with ShowSip or
// the bar's keyboard button. It lies over the bottom of the client area,
// just above the soft-key bar, as the handheld's panel does; its keys go to
// the widget that has the keyboard focus, like typed keys.
#pragma once

#include <QWidget>

namespace vellum::platform {

class InputPanel final : public QWidget {
public:
    // Keys go to the focus widget of parent's window, else to fallback.
    InputPanel(QWidget* parent, QWidget* fallback);

private:
    void Type(int key, const QString& text);

    QWidget* fallback;
};

} // namespace vellum::platform

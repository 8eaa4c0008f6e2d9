// The client area of a form window: the form's views paint here, in client
// coordinates, and its pointer and key input starts here.
#pragma once

#include <QWidget>

namespace vellum::platform {

class ShellWidget;

class ClientArea final : public QWidget {
public:
    explicit ClientArea(ShellWidget& shell);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Tab is a key for the form, not a move between widgets.
    bool focusNextPrevChild(bool) override { return false; }

private:
    ShellWidget& shell;
    bool painted = false;
    // Wheel turns too small for a whole line yet, in eighths of a degree.
    QPoint wheelRest;
};

} // namespace vellum::platform

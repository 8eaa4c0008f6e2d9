// The text of the script editor: a plain-text edit with a margin on its
// left that numbers the lines and marks breakpoints. A click in the margin
// or F9 sets or clears the breakpoint of a line. A breakpoint belongs to
// its line's block, so it moves with the line as lines are added or
// removed above it, and goes with the line. While a run is stopped, its
// line is shaded and marked in the margin.
#pragma once

#include <QPlainTextEdit>

#include <functional>
#include <vector>

namespace vellum::platform {

class ScriptEdit final : public QPlainTextEdit {
    Q_OBJECT // so that tests find it as the edit it is

public:
    explicit ScriptEdit(QWidget* parent);

    // Lines from 1, in order.
    std::vector<int> BreakpointLines() const;
    void ToggleBreakpoint(int line);
    // Called after each change of the breakpoints.
    void OnBreakpointsChanged(std::function<void()> changed) { breakpointsChanged = std::move(changed); }
    // Shades the line (from 1) where a run stopped and scrolls it into
    // view; 0 shades none.
    void ShowStopLine(int line);
    int StopLine() const { return stopLine; }
    // The margin's width and the line under a point of it (0 for none).
    int MarginWidth() const;
    int LineAt(int y) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class ScriptEditMargin;
    // Room for the margin as wide as the line numbers need.
    void FitMargin();
    void PaintMargin(QPaintEvent* event);

    QWidget* margin;
    std::function<void()> breakpointsChanged;
    int stopLine = 0;
};

} // namespace vellum::platform

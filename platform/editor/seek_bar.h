// The strip below the script editor's text where the user types what to
// find (Ctrl+F) or the line to go to (Ctrl+G). It stays out of sight until
// asked for, so the editor keeps the handheld's plain look. Enter (or F3)
// acts and leaves the keys in the bar, so that Enter again finds the next
// match and never types into the script; Shift+Enter (or Shift+F3) finds
// backwards. Escape puts the bar away and hands the keys back to the text.
#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QValidator;

namespace vellum::platform {

class SeekBar final : public QWidget {
public:
    enum class Mode { Find, Line };

    struct Callbacks {
        // Enter with what is typed; backward for Shift+Enter.
        std::function<void(Mode, const QString&, bool backward)> entered;
        // Escape, or the bar put away.
        std::function<void()> closed;
    };
    SeekBar(QWidget* parent, Callbacks callbacks);

    // Shows the bar in mode with the field's text selected and focused.
    void Open(Mode mode);
    Mode CurrentMode() const { return mode; }
    QLineEdit& Field() const { return *field; }
    // Says so beside the field ("Not found", "No such line"); empty clears it.
    void SetNote(const QString& note);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Callbacks callbacks;
    Mode mode = Mode::Find;
    QLabel* label;
    QLineEdit* field;
    QLabel* note;
    QValidator* lineNumbers;
};

} // namespace vellum::platform

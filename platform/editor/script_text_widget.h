// The Qt side of the script editor's text: a plain-text edit in a
// monospaced font with the language coloured, the seek bar below it for
// find and go to line, and a status line with the caret's line and column.
// Undo and redo are the edit's own, many steps deep (redo on Ctrl+Y too).
// The keys Ctrl+R and F5 send the window the run command, as the menu's
// "Run!" does (it continues a stopped run); Escape and Ctrl+Break the stop
// command; F10, F11 and Shift+F11 the step commands. F9 sets or clears the
// caret line's breakpoint.
//
// The document keeps lines as blocks; the text it hands out has CR LF line
// ends, and positions count a CR LF as two, as the script that runs from
// the text counts them.
#pragma once

#include "platform/controls/control_kinds.h"
#include "platform/editor/debug_panel.h"
#include "platform/editor/script_edit.h"
#include "platform/editor/seek_bar.h"

#include <QWidget>

#include <cstdint>
#include <functional>

class QLabel;

namespace vellum::platform {

class ScriptTextWidget final : public QWidget {
    Q_OBJECT // so that the window's children can be searched for it

public:
    explicit ScriptTextWidget(QWidget* parent);

    // Any line ends; the undo history starts afresh, the caret at the start.
    void SetText(const QString& text);
    QString Text() const;
    // An empty selection at the text position, scrolled into view.
    void PlaceCaret(int32_t position);
    void SetTabStop(int32_t dialogUnits);
    // The commands the editor's keys send to the window; 0 sends none.
    struct Commands {
        int32_t run = 0;
        int32_t stop = 0;
        int32_t stepOver = 0;
        int32_t stepInto = 0;
        int32_t stepOut = 0;
    };
    void SetCommands(const Commands& ids);
    // Shows where a run stopped: the panel, and the line of the frame
    // chosen in it shaded. lineOf gives a frame's line in this text, 0 when
    // the frame lies elsewhere (an included file, a native).
    void ShowStop(DebugStop& stop, std::function<int(const DebugFrame&)> lineOf);
    // The run goes on: the panel goes and the line is no longer shaded.
    void EndStop();

    ScriptEdit& Edit() const { return *edit; }
    SeekBar& Seek() const { return *seek; }
    DebugPanel& Panel() const { return *panel; }
    // "Line L, Col C" of the caret.
    QString CaretPlace() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The keys of the editor's own commands; true when the key was one.
    bool CommandKey(const QKeyEvent& key);
    void Seek(SeekBar::Mode mode, const QString& what, bool backward);
    // From the selection on (or back), then round from the other end.
    bool Find(const QString& what, bool backward);
    bool GoToLine(int line);

    ScriptEdit* edit;
    DebugPanel* panel;
    std::function<int(const DebugFrame&)> stopLineOf;
    SeekBar* seek;
    QLabel* place;
    Commands commands;
};

extern const ControlKindTraits kScriptTextTraits;

} // namespace vellum::platform

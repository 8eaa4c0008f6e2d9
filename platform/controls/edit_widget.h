// The Qt side of the edit control: the handheld edit's rules (script
// positions, single-level undo, the modify flag, typed-input filters) in
// EditControl::Behaviour, over a QLineEdit for a single-line edit and a
// QPlainTextEdit for a multi-line one. Either widget works in any parent:
// the control host puts them in a form's client area, and a window may use
// a multi-line one as its whole client.
#pragma once

#include "platform/controls/control_kinds.h"
#include "platform/controls/edit_control.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include <functional>
#include <optional>
#include <vector>

namespace vellum::platform {

// The width of a tab stop of that many dialog units in the font.
qreal TabStopPixels(const QFont& font, int32_t dialogUnits);

// Every edit goes through this class, so that the undo record, the modify
// flag and the change notification stay right whoever makes the edit: the
// user's keys, the clipboard, or the program.
class EditControl::Behaviour {
public:
    virtual ~Behaviour() = default;

    // Runs after every change of the text.
    std::function<void()> changed;

    // The text with CR LF line ends.
    virtual QString Text() const = 0;
    // Replaces the text: undo emptied, modify flag cleared, caret at 0.
    // The same text again changes nothing.
    void SetText(const QString& text);

    void ApplyStyle(const EditStyle& style);
    virtual void SetBorder(bool border) = 0;
    void SetTabStop(int32_t dialogUnits);

    bool Modified() const { return modified; }
    void SetModified(bool on) { modified = on; }
    bool CanUndo() const { return undo.has_value(); }
    void Undo();

    EditSelection Selection() const;
    int32_t Caret() const { return CaretAndAnchor().first; }
    void Select(int32_t start, int32_t end);
    void ReplaceSel(const QString& text, bool undoable);
    void Append(const QString& text);

    int32_t LineCount() const;
    int32_t LineFromChar(int32_t charIndex) const;
    int32_t LineIndex(int32_t line) const;
    int32_t LineLength(int32_t charIndex) const;
    QString Line(int32_t line) const;
    virtual void ScrollCaret() = 0;

    void Cut();
    void Copy();
    void Paste();
    void IndentSel();
    void UnindentSel();

protected:
    // A shown line: where it starts and its length without the line end.
    struct LineSpan {
        int32_t start;
        int32_t length;
    };
    struct Snapshot {
        QString text;
        int32_t anchor;
        int32_t caret;
    };

    virtual QWidget& Widget() = 0;
    virtual bool MultiLine() const = 0;
    // Script positions of the caret and the selection's other end.
    virtual std::pair<int32_t, int32_t> CaretAndAnchor() const = 0;
    virtual void Place(int32_t anchor, int32_t caret) = 0;
    // The edits themselves, without undo, flag or notification.
    virtual void RawReplace(int32_t start, int32_t end, const QString& text) = 0;
    virtual void RawSetText(const QString& text) = 0;
    virtual std::vector<LineSpan> ShownLines() const = 0;
    virtual void StyleChanged() = 0;
    virtual void TabStopChanged(qreal pixels) = 0;

    // Key handling shared by both widgets: true when the key was dealt with
    // here; otherwise the widget's own handling runs inside UserEdit.
    bool HandleKey(QKeyEvent* event);
    // Text typed or committed by an input method, through the filters.
    void Type(const QString& text);
    // Runs an edit of the user's: when it changed the text, the text before
    // becomes the undo unless the edit continues a run of typing.
    void UserEdit(const std::function<void()>& edit, bool typing);
    // The selection hidden or shown as the focus and noHideSel say.
    void ShowSelection(bool focused);
    // Font changes move the tab stops.
    void FontChanged() { SetTabStop(tabStopUnits); }
    // A new desktop palette or style: the selection's colours are taken again.
    void PaletteChanged() { selectionHidden.reset(); }
    // What of text takes the selection's place: all of it, except in a
    // single-line edit without auto-scroll, which takes only what fits.
    virtual QString Fitting(const QString& text) const { return text; }

    EditStyle rules;

private:
    Snapshot Now() const;
    void Changed();
    // Upper- or lower-case as the style says.
    QString Cased(const QString& text) const;
    int32_t LineOf(const std::vector<LineSpan>& lines, int32_t charIndex) const;

    std::optional<Snapshot> undo;
    bool modified = false;
    // The caret after the last typed edit; typing on from there extends it.
    std::optional<int32_t> typingCaret;
    int32_t tabStopUnits = 32;
    // Whether the palette set last hides the selection; every layout
    // applies the style again, and an unchanged state sets nothing.
    std::optional<bool> selectionHidden;
};

// The Qt events both widgets turn into the edit's rules: keys, committed
// input, middle-button pastes, focus (the selection outlives it, hidden
// unless noHideSel) and font changes.
template <class QtEditor>
class EditWidget : public QtEditor, public EditControl::Behaviour {
public:
    explicit EditWidget(QWidget* parent);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

    QWidget& Widget() override { return *this; }
};

class LineEditWidget final : public EditWidget<QLineEdit> {
public:
    explicit LineEditWidget(QWidget* parent);

    QString Text() const override { return text(); }
    void SetBorder(bool border) override { setFrame(border); }
    void ScrollCaret() override {}

protected:
    bool MultiLine() const override { return false; }
    std::pair<int32_t, int32_t> CaretAndAnchor() const override;
    void Place(int32_t anchor, int32_t caret) override;
    void RawReplace(int32_t start, int32_t end, const QString& text) override;
    void RawSetText(const QString& text) override;
    std::vector<LineSpan> ShownLines() const override;
    void StyleChanged() override;
    void TabStopChanged(qreal) override {}
    QString Fitting(const QString& text) const override;
};

// The document keeps a CR LF as a block break, a lone LF as a line
// separator inside a block (shown as a line break, one position) and a
// lone CR as the visible CR symbol.
class TextEditWidget final : public EditWidget<QPlainTextEdit> {
public:
    explicit TextEditWidget(QWidget* parent);

    QString Text() const override;
    void SetBorder(bool border) override;
    void ScrollCaret() override { ensureCursorVisible(); }

protected:
    bool MultiLine() const override { return true; }
    std::pair<int32_t, int32_t> CaretAndAnchor() const override;
    void Place(int32_t anchor, int32_t caret) override;
    void RawReplace(int32_t start, int32_t end, const QString& text) override;
    void RawSetText(const QString& text) override;
    std::vector<LineSpan> ShownLines() const override;
    void StyleChanged() override;
    void TabStopChanged(qreal pixels) override { setTabStopDistance(pixels); }

private:
    int32_t ScriptPosition(int docPosition) const;
    int DocPosition(int32_t scriptPosition) const;
};

// The control host's kinds for the two widgets.
extern const ControlKindTraits kLineEditTraits;
extern const ControlKindTraits kTextEditTraits;

} // namespace vellum::platform

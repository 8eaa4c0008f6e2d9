// The panel below the script editor's text while a run is stopped in the
// debugger: the buttons that go on (as F5, F10, F11, Shift+F11 and Escape
// do), the call stack, and the variables of the frame chosen in it, `this`
// and the locals first, then the globals under one entry. A table's
// entries are read when it is opened, one level at a time and a page at a
// time, so a table of any size or depth, or one that holds itself, opens
// in place at once.
#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

namespace vellum {
class DebugStop;
struct DebugFrame;
struct DebugVariable;
} // namespace vellum

namespace vellum::platform {

class DebugPanel final : public QWidget {
public:
    // The buttons send these commands to the window.
    struct Commands {
        int32_t resume = 0;
        int32_t stepOver = 0;
        int32_t stepInto = 0;
        int32_t stepOut = 0;
        int32_t stop = 0;
    };
    // frameChosen is told each frame the user picks, the innermost first.
    DebugPanel(QWidget* parent, std::function<void(const DebugFrame&)> frameChosen);

    void SetCommands(const Commands& ids) { commands = ids; }
    // Shows the stop with its innermost frame chosen; the stop must outlive
    // the panel's showing it (until Clear).
    void Show(DebugStop& stop);
    // Forgets the stop, whose references end with it, and hides.
    void Clear();

    QTreeWidget& Stack() const { return *stack; }
    QTreeWidget& Variables() const { return *variables; }

private:
    void ChooseFrame(int frame);
    // Fills the item (or the top level, for none) with the variables of a
    // reference from start on, one page, and a row that opens the rest.
    void Fill(QTreeWidgetItem* parent, uint32_t reference, size_t start);
    void Opened(QTreeWidgetItem* item);
    QTreeWidgetItem* Row(const DebugVariable& variable);
    void Send(int32_t command);

    std::function<void(const DebugFrame&)> frameChosen;
    Commands commands;
    DebugStop* stop = nullptr;
    QTreeWidget* stack;
    QTreeWidget* variables;
};

} // namespace vellum::platform

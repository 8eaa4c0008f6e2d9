#include "platform/desktop/choice_box.h"

#include "platform/qt_convert.h"
#include "platform/window/shell_widget.h"

#include <QMessageBox>
#include <QPushButton>

#include <vector>

namespace vellum::platform {

size_t ShowChoiceBox(std::u16string_view text, std::u16string_view caption,
                     std::span<const std::u16string_view> buttons, const FormWindow* owner)
{
    ShellWidget* shell = owner != nullptr ? ShellWidgetOf(*owner) : nullptr;
    QMessageBox box(QMessageBox::Question, ToQString(caption), ToQString(text), QMessageBox::NoButton, shell);
    std::vector<QPushButton*> made;
    for (size_t i = 0; i < buttons.size(); ++i) {
        const QMessageBox::ButtonRole role = i == 0                      ? QMessageBox::AcceptRole
                                             : i + 1 == buttons.size() ? QMessageBox::RejectRole
                                                                       : QMessageBox::DestructiveRole;
        made.push_back(box.addButton(ToQString(buttons[i]), role));
    }
    if (!made.empty()) box.setDefaultButton(made.front());
    box.exec();
    for (size_t i = 0; i < made.size(); ++i) {
        if (box.clickedButton() == made[i]) return i;
    }
    return buttons.empty() ? 0 : buttons.size() - 1;
}

} // namespace vellum::platform

// The soft-key menu bar at the bottom of a form window, as the handheld's
// shell shows a form's menu: each top-level command is a key, each
// top-level pop-up a key that opens its menu above the bar; the input
// panel's button sits between the keys.
#pragma once

#include "platform/window/menu_layout.h"

#include <QWidget>

#include <functional>
#include <map>

class QAction;
class QHBoxLayout;
class QMenu;
class QToolButton;

namespace vellum::platform {

class SoftKeyBar final : public QWidget {
public:
    struct Callbacks {
        std::function<void(int32_t id)> command;
        std::function<void()> aboutToShow; // before a pop-up opens
        std::function<void()> inputPanelButton;
    };
    SoftKeyBar(QWidget* parent, Callbacks callbacks);

    void Build(const MenuLayout& menu);
    bool HasMenu() const { return hasMenu; }
    void ShowInputPanelButton(bool shown);
    bool InputPanelButtonShown() const { return sipButtonShown; }

    void SetChecked(int32_t id, bool checked);
    void SetEnabled(int32_t id, bool enabled);
    void SetText(int32_t id, const QString& text);
    // The visible key of the current menu with that text; none without one.
    QToolButton* KeyWithText(const QString& text) const;

private:
    void Clear();
    QToolButton* NewKey(const QString& text);
    void OpenPopup(QToolButton& key, QMenu& menu);

    Callbacks callbacks;
    QHBoxLayout* keys;
    QToolButton* sipButton;
    bool hasMenu = false;
    bool sipButtonShown = false;
    // Every command by its identifier: its key on the bar or its action in a pop-up.
    std::map<int32_t, QToolButton*> commandKeys;
    std::map<int32_t, QAction*> commandActions;
    std::vector<QWidget*> built; // keys and menus of the current menu
};

} // namespace vellum::platform

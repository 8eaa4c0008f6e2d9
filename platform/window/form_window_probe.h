// The widgets of the shown form windows, for tests that drive them with
// real input events: a test reaches the title strip's done button, the
// soft keys, the input panel and the client area here rather than by
// looking into the shell's widget tree.
#pragma once

#include <QString>

class QToolButton;
class QWidget;

namespace vellum::platform {

class NativeControl;
class TodayHost;

// The visible top-level form window of that title; none without one.
QWidget* FormWindowTitled(const QString& title);
// The parts of a form window (as FormWindowTitled or TodayItemOf give it);
// none when it has no such part.
QWidget* ClientAreaOf(QWidget* formWindow);
QToolButton* DoneButtonOf(QWidget* formWindow);
QWidget* InputPanelOf(QWidget* formWindow);
// The visible key of the soft-key bar with that text.
QToolButton* SoftKeyOf(QWidget* formWindow, const QString& text);
// The form window of the Today screen's first item.
QWidget* TodayItemOf(TodayHost& host);
// The widget of a native control.
QWidget* ControlWidgetOf(NativeControl& control);

} // namespace vellum::platform

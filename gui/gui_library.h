// The GUI framework's registration: every view class, TForm and TTodayForm.
#pragma once

namespace vellum {
class Interpreter;
}

namespace vellum::gui {

void RegisterGuiLibrary(Interpreter& ip);

// Each area registers its own classes; RegisterGuiLibrary calls them in order.
void RegisterShapeClasses(Interpreter& ip);   // gui/style: TRectangle, TEllipse, TLine, TText, TImage, TImageListIcon
void RegisterEditClass(Interpreter& ip);      // gui/controls: TEdit
void RegisterControlClasses(Interpreter& ip); // gui/controls: TButton, TComboBox, TScrollBar
void RegisterChartClass(Interpreter& ip);     // gui/chart: TChart
void RegisterSwitchClass(Interpreter& ip);    // gui/layout: TSwitch
void RegisterTabsClass(Interpreter& ip);      // gui/controls: TTabs
void RegisterLayoutClasses(Interpreter& ip);  // gui/layout: TRow, TColumn, TGrid, TCanvas
void RegisterListClasses(Interpreter& ip);    // gui/list: TList, TScrollList, TSheet, TScrollSheet, TScrollView
void RegisterFormClasses(Interpreter& ip);    // gui/form: TForm, TTodayForm
void RegisterDialogMethods(Interpreter& ip);  // gui/dialogs: the forms' dialogs and device services

} // namespace vellum::gui

// The GUI framework's registration: every view class, TForm and TTodayForm.
#pragma once

namespace vellum {
class Interpreter;
}

namespace vellum::gui {

void RegisterGuiLibrary(Interpreter& ip);

// Each area registers its own classes; RegisterGuiLibrary calls them in order.
void RegisterShapeClasses(Interpreter& ip);  // gui/style: TRectangle, TEllipse, TLine, TText, TImage, TImageListIcon
void RegisterLayoutClasses(Interpreter& ip); // gui/layout: TSwitch, TRow, TColumn, TGrid, TCanvas
void RegisterFormClasses(Interpreter& ip);   // gui/form: TForm, TTodayForm
void RegisterDialogMethods(Interpreter& ip); // gui/dialogs: the forms' dialogs and device services

} // namespace vellum::gui

#include "gui/view/refresh_cause.h"

namespace vellum::gui {

namespace {

RefreshFor current = RefreshFor::Script;

} // namespace

RefreshCause::RefreshCause(RefreshFor cause) : saved(current) { current = cause; }

RefreshCause::~RefreshCause() { current = saved; }

RefreshFor RefreshCause::Current() { return current; }

} // namespace vellum::gui

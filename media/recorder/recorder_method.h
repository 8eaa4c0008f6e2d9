// The voice recorder as a method of TForm. The form classes come from the
// GUI framework, so this runs after it has registered them; a Today item
// has no recorder, as the Today screen cannot host a modal window.
#pragma once

namespace vellum {
class Interpreter;
}

namespace vellum::media {

void RegisterRecorderMethod(Interpreter& ip);

} // namespace vellum::media

// The methods every string value has: Len, Substr, Upper, Lower, Find,
// Replace and Split, registered into the prototype of strings.
#pragma once

namespace vellum {

class Interpreter;

void RegisterStringMethods(Interpreter& ip);

} // namespace vellum

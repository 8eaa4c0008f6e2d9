#include "platform/files/name_fold.h"

#include "platform/qt_convert.h"

#include <QString>

namespace vellum::platform {

std::u16string FoldNameCase(std::u16string_view name)
{
    return ToU16String(ToQString(name).toCaseFolded());
}

} // namespace vellum::platform

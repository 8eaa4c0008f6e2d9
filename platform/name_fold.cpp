#include "platform/name_fold.h"

#include <QString>

namespace vellum::platform {

std::u16string FoldNameCase(std::u16string_view name)
{
    return QString::fromUtf16(name.data(), static_cast<qsizetype>(name.size())).toCaseFolded().toStdU16String();
}

} // namespace vellum::platform

#include "platform/desktop/locale_date.h"

#include <QDate>
#include <QLocale>

namespace vellum::platform {

std::u16string ShortDateText(int year, int month, int day)
{
    const QDate date(year, month, day);
    if (!date.isValid()) return {};
    return QLocale::system().toString(date, QLocale::ShortFormat).toStdU16String();
}

} // namespace vellum::platform

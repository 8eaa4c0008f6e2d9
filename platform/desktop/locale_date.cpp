#include "platform/desktop/locale_date.h"

#include "platform/qt_convert.h"

#include <QDate>
#include <QLocale>

namespace vellum::platform {

std::u16string ShortDateText(int year, int month, int day)
{
    const QDate date(year, month, day);
    if (!date.isValid()) return {};
    return ToU16String(QLocale::system().toString(date, QLocale::ShortFormat));
}

} // namespace vellum::platform

// One instance of a proxy over the desktop's style for every control that
// needs a small change to its look or behaviour. A style sheet would say the
// same but would route every paint and size of the widget through the much
// slower style-sheet style.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QStyle>
#include <QStyleFactory>

namespace vellum::platform {

// The one ProxyStyle over a fresh copy of the application's style, owned by
// the application so that it goes with it.
template <class ProxyStyle>
QStyle* SharedDesktopStyle()
{
    static QPointer<ProxyStyle> style;
    if (style.isNull()) {
        style = new ProxyStyle(QStyleFactory::create(QApplication::style()->name()));
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

} // namespace vellum::platform

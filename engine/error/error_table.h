// Localised message templates: one table per locale code, each mapping
// identifiers to wsprintf-style templates. Scripts reach the tables through
// the global "__LocStrs" and may add locales and replace texts.
#pragma once

#include "engine/error/error_ids.h"

#include <string>
#include <string_view>

namespace vellum {

class Interpreter;
class TableObject;

class ErrorTable {
public:
    explicit ErrorTable(Interpreter& ip);

    // Enters the built-in English messages.
    void AddDefaultMessages();

    TableObject* LocaleTable(std::u16string_view locale);
    void SetMessage(std::u16string_view locale, std::u16string_view id, std::u16string_view text);
    // The template for an identifier: current locale, then "en", then the identifier itself.
    std::u16string LookupMessage(std::u16string_view id) const;

    TableObject* LocaleTables() const { return localeTables; }
    void SetLocale(std::u16string_view code) { locale = code.substr(0, 2); }
    const std::u16string& Locale() const { return locale; }

    // The running script's path; the host and "RunScript" keep it here.
    std::u16string scriptPath;

private:
    Interpreter& ip;
    std::u16string locale = u"en";
    TableObject* localeTables;
};

// The built-in English template of an identifier (for texts shown where no
// interpreter runs).
std::u16string_view EnglishMessage(ErrorId id);

// Formats a template the way wsprintf does with string arguments: each
// "%s" takes the next argument (empty when there are no more), "%%" is a
// percent sign, and the result is cut at maxUnits.
std::u16string FormatTemplate(std::u16string_view text, std::u16string_view arg1, std::u16string_view arg2,
                              size_t maxUnits);

} // namespace vellum

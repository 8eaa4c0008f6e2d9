// Turns single bytes of an 8-bit code page into UTF-16 units through iconv.
//
// Text readers convert byte by byte, so multi-byte sequences are never
// combined; the descriptor is opened once per code page and kept.
#pragma once

#include <cstdint>
#include <iconv.h>

namespace vellum {

class CodePageConverter {
public:
    // Opens the converter for the code page named "CP<codePage>".
    explicit CodePageConverter(int32_t codePage);
    CodePageConverter(const CodePageConverter&) = delete;
    CodePageConverter& operator=(const CodePageConverter&) = delete;
    ~CodePageConverter();

    int32_t CodePage() const { return codePage; }

    // The unit for one byte converted on its own. A byte that does not make
    // exactly one unit, and every byte of a code page iconv does not know,
    // maps to the unit of the same value, as in ISO-8859-1.
    char16_t Convert(uint8_t byte);

private:
    const int32_t codePage;
    iconv_t descriptor;
};

} // namespace vellum

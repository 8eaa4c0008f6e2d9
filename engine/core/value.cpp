#include "engine/core/value.h"

#include "engine/core/string_object.h"

#include <cmath>

namespace vellum {

uint32_t ValueHash(const Value& v)
{
    switch (v.tag) {
    case Tag::Null:
        return 0;
    case Tag::Bool:
        return v.word != 0 ? 1 : 2;
    case Tag::Num: {
        const double d = std::trunc(v.num);
        if (d >= -2147483648.0 && d <= 2147483647.0) return static_cast<uint32_t>(static_cast<int32_t>(d));
        // Beyond 32 bits the number wraps modulo 2^32; NaN and huge values share one chain.
        if (std::fabs(d) < 9.2e18) return static_cast<uint32_t>(static_cast<int64_t>(d));
        return 0x7FFFFFFF;
    }
    case Tag::Str:
        return v.str->Hash();
    case Tag::FuncBin:
        return 123;
    case Tag::Func:
        return 0;
    case Tag::Table:
        return 333;
    case Tag::Binary:
        return 321;
    case Tag::Ptr:
        return 111;
    }
    return 0;
}

namespace {
// -1, 0 or 1 for two values of one ordered tag; 0 for every unordered pair.
int Order(const Value& a, const Value& b)
{
    if (a.tag != b.tag) return 0;
    switch (a.tag) {
    case Tag::Bool: {
        const auto x = static_cast<int32_t>(a.word), y = static_cast<int32_t>(b.word);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case Tag::Num:
        return a.num < b.num ? -1 : (a.num > b.num ? 1 : 0);
    case Tag::Str:
        return a.str->Compare(*b.str);
    default:
        return 0;
    }
}
} // namespace

bool ValueLess(const Value& a, const Value& b) { return Order(a, b) < 0; }
bool ValueGreater(const Value& a, const Value& b) { return Order(a, b) > 0; }

const char16_t* TagName(Tag tag)
{
    switch (tag) {
    case Tag::Null:
        return u"null";
    case Tag::Bool:
        return u"bool";
    case Tag::Num:
        return u"num";
    case Tag::Str:
        return u"str";
    case Tag::FuncBin:
        return u"funcBin";
    case Tag::Func:
        return u"func";
    case Tag::Table:
        return u"table";
    case Tag::Binary:
        return u"binary";
    case Tag::Ptr:
        return u"ptr";
    }
    return u"null";
}

} // namespace vellum

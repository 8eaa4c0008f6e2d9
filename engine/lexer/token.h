// Token codes. Single characters are their own code; the numbers above
// 0x10000 are part of the token-file format.
#pragma once

#include <cstdint>

namespace vellum::token {

constexpr uint32_t End = 0;
constexpr uint32_t Unknown = 0x10000;
constexpr uint32_t NoToken = 0x10001; // marks an empty pushed-back slot
constexpr uint32_t Null = 0x10002;
constexpr uint32_t Number = 0x10003;
constexpr uint32_t String = 0x10004;
constexpr uint32_t Boolean = 0x10005;
constexpr uint32_t And = 0x10006;
constexpr uint32_t Or = 0x10007;
constexpr uint32_t Equal = 0x10008;
constexpr uint32_t NotEqual = 0x10009;
constexpr uint32_t LessEqual = 0x1000A;
constexpr uint32_t GreaterEqual = 0x1000B;
constexpr uint32_t Var = 0x1000C;
constexpr uint32_t Function = 0x1000D;
constexpr uint32_t Return = 0x1000E;
constexpr uint32_t If = 0x1000F;
constexpr uint32_t Else = 0x10010;
constexpr uint32_t ElseIf = 0x10011;
constexpr uint32_t EndKeyword = 0x10012;
constexpr uint32_t While = 0x10013;
constexpr uint32_t For = 0x10014;
constexpr uint32_t In = 0x10015;
constexpr uint32_t Identifier = 0x10016;
constexpr uint32_t Include = 0x10017;
constexpr uint32_t TokenFileMarker = 0x10018;

// The unit that starts token-file input, and the file's first two bytes.
constexpr char16_t kTokenFileUnit = 0x04D2;

} // namespace vellum::token

// Error identifiers. A pending error is one of these pointers; raisers use
// the constants themselves so that identifiers compare by address.
#pragma once

namespace vellum {

using ErrorId = const char16_t*;

inline constexpr char16_t errOK[] = u"errOK";
inline constexpr char16_t errOutOfMemory[] = u"errOutOfMemory";
inline constexpr char16_t errUnexpectedItem[] = u"errUnexpectedItem";
inline constexpr char16_t errIdentifierExpected[] = u"errIdentifierExpected";
inline constexpr char16_t errUndeclaredVariable[] = u"errUndeclaredVariable";
inline constexpr char16_t errVariableAlreadyDeclared[] = u"errVariableAlreadyDeclared";
inline constexpr char16_t errAssignmentExpected[] = u"errAssignmentExpected";
inline constexpr char16_t errClosingRoundExpected[] = u"errClosingRoundExpected";
inline constexpr char16_t errClosingCurlyExpected[] = u"errClosingCurlyExpected";
inline constexpr char16_t errClosingSquareExpected[] = u"errClosingSquareExpected";
inline constexpr char16_t errEndExpected[] = u"errEndExpected";
inline constexpr char16_t errUnexpectedIdentifier[] = u"errUnexpectedIdentifier";
inline constexpr char16_t errNumberOutOfRange[] = u"errNumberOutOfRange";
inline constexpr char16_t errReturnOudsideFunction[] = u"errReturnOudsideFunction";
inline constexpr char16_t errQuotationMarksExpected[] = u"errQuotationMarksExpected";
inline constexpr char16_t errMaxIncludeDepthReached[] = u"errMaxIncludeDepthReached";
inline constexpr char16_t errIncludeFileNameTooLong[] = u"errIncludeFileNameTooLong";
inline constexpr char16_t errIncludeFileNotFound[] = u"errIncludeFileNotFound";
inline constexpr char16_t errFewArguments[] = u"errFewArguments";
inline constexpr char16_t errManyArguments[] = u"errManyArguments";
inline constexpr char16_t errNumberExpected[] = u"errNumberExpected";
inline constexpr char16_t errBoolExpected[] = u"errBoolExpected";
inline constexpr char16_t errTableExpected[] = u"errTableExpected";
inline constexpr char16_t errIndexingNonTable[] = u"errIndexingNonTable";
inline constexpr char16_t errIndexingNonTable2[] = u"errIndexingNonTable2";
inline constexpr char16_t errFunctionCallToNonFunction[] = u"errFunctionCallToNonFunction";
inline constexpr char16_t errComparisonDifferentTypes[] = u"errComparisonDifferentTypes";
inline constexpr char16_t errForNoniterableValue[] = u"errForNoniterableValue";
inline constexpr char16_t errDie[] = u"errDie";
inline constexpr char16_t errFileRead[] = u"errFileRead";
inline constexpr char16_t errFileNotFound[] = u"errFileNotFound";
inline constexpr char16_t errInvalidFileFormat[] = u"errInvalidFileFormat";
inline constexpr char16_t errNotAScript[] = u"errNotAScript";
inline constexpr char16_t errStopped[] = u"errStopped";

} // namespace vellum

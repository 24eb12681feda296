#pragma once
// The run-time error texts the program's routines show when they trap a failure (those of
// file and folder operations come with platform/file_errors.h), and the strict conversions
// that raise them.
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/file_errors.h"
#include "platform/number_format.h"

inline constexpr const char* kErrSubscriptOutOfRange = "インデックスが有効範囲にありません。";
inline constexpr const char* kErrTypeMismatch = "型が一致しません。";
inline constexpr const char* kErrOverflow = kNumberOverflowText;
inline constexpr const char* kErrInvalidNull = "Null の使い方が不正です。";
inline constexpr const char* kErrObjectNotSet =
    "オブジェクト変数または With ブロック変数が設定されていません。";
inline constexpr const char* kErrInputPastEnd = "ファイルの終わりを超えて入力しようとしました。";
inline constexpr const char* kErrInvalidPropertyValue = "プロパティの値が不正です。";
inline constexpr const char* kErrPrinterNewPage = "プリンタで新しいページを開始できません。";
// A statement's text value holding a NUL, which neither engine can keep whole.
inline constexpr const char* kErrNulInText =
    "文字列に NUL 文字が含まれているため、実行できません。";

// A finite number written in the plain decimal form, surrounding blanks allowed; anything
// else ("inf" and "nan" too) throws kErrTypeMismatch.
double StrictNumber(std::string_view text);
// The same, rounded to a 32-bit integer with halves to the even one; out of range throws
// kErrOverflow.
int32_t StrictLong(std::string_view text);

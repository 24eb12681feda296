#pragma once
// Descriptions of failed file and folder operations in the language of every other
// message: the system's error numbers mapped to the run-time error texts users know.
#include <string>

inline constexpr const char* kErrFileNotFound = "ファイルが見つかりません。";
inline constexpr const char* kErrPermissionDenied = "書き込みできません。";
inline constexpr const char* kErrPathFileAccess = "パス名が無効です。";
inline constexpr const char* kErrDiskFull = "ディスクの空き容量が不足しています。";
inline constexpr const char* kErrPathNotFound = "パスが見つかりません。";
inline constexpr const char* kErrDeviceIo = "デバイス I/O エラーです。";
inline constexpr const char* kErrTooManyFiles = "ファイルが多すぎます。";
inline constexpr const char* kErrFileExists = "既に同名のファイルが存在しています。";

// The description of errno `code` after an operation on the file `path`. A missing file
// in a missing folder reads as a path not found; a number the table does not name reads
// as a failed access to the path, the description that fits any.
std::string FileErrorText(int code, const std::string& path = {});

// Text helpers shared by the stand-in: UTF-16/UTF-8/ANSI conversions, case-insensitive comparison and the
// one escaping used in the transcript, the state file and backup headers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

std::string ToUtf8(const std::wstring& Text);
std::wstring FromUtf8(const std::string& Text);
// 8-bit text in an explicit code page (char/varchar columns, SSRP strings).
std::string ToCodePage(const std::wstring& Text, unsigned CodePage);
std::wstring FromCodePage(const std::string& Text, unsigned CodePage);

std::wstring Upper(std::wstring Text);
bool SameText(const std::wstring& A, const std::wstring& B);
bool ContainsText(const std::wstring& Haystack, const std::wstring& Needle);
std::wstring Trim(const std::wstring& Text);
std::string Trim(const std::string& Text);

// Control characters and '%' become %HH so that one record always stays on one line; everything else,
// backslashes of Windows paths included, stays readable.
std::string Escape(const std::string& Utf8);
std::string Unescape(const std::string& Escaped);

std::vector<std::string> Split(const std::string& Text, char Separator);
std::string Hex(const std::uint8_t* Data, std::size_t Size);

}  // namespace standin

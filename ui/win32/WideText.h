#pragma once

// The layout's UTF-16 texts handed to the wide-character Win32 API: on
// Windows wchar_t is a UTF-16 code unit, so no conversion is needed.

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t is UTF-16 on Windows");

inline const wchar_t *wide(const std::u16string &text) noexcept
{
    return reinterpret_cast<const wchar_t *>(text.c_str());
}

inline std::wstring wide(std::u16string_view text)
{
    return {text.begin(), text.end()};
}

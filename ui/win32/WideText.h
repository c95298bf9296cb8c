#pragma once

// The layout's UTF-16 texts handed to the wide-character Win32 API: on
// Windows wchar_t is a UTF-16 code unit, so no conversion is needed.

#include <string>
#include <string_view>
#include <windows.h>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t is UTF-16 on Windows");

inline const wchar_t *wide(const std::u16string &text) noexcept
{
    return reinterpret_cast<const wchar_t *>(text.c_str());
}

inline std::wstring wide(std::u16string_view text)
{
    return {text.begin(), text.end()};
}

// A window's text, whatever its length.
inline std::u16string windowText(HWND window)
{
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, u'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(
        window, reinterpret_cast<wchar_t *>(text.data()), static_cast<int>(text.size()))));
    return text;
}

#pragma once

// Ownership of the window, icons and GDI objects the program makes: each is
// released once, by the object that holds it.

#include <exception>
#include <memory>
#include <type_traits>
#include <windows.h>

// A part of the window the system would not make, and the system's error
// code. Not std::system_error, which would bring the library's error
// categories and strings into the program.
class CreationError : public std::exception
{
public:
    CreationError(const char *what, DWORD code) noexcept : what_(what), code_(code) {}

    const char *what() const noexcept override { return what_; }
    DWORD code() const noexcept { return code_; }

private:
    const char *what_;
    DWORD code_;
};

// `handle`, or an error naming `what` (a literal or a name from the table):
// a part that is missing is reported, never drawn without.
template <typename Handle> Handle created(Handle handle, const char *what)
{
    if (!handle)
        throw CreationError(what, GetLastError());
    return handle;
}

// The system's function that releases a handle, as a deleter.
template <auto Release> struct Releaser
{
    template <typename Handle> void operator()(Handle handle) const noexcept { Release(handle); }
};

// A handle released by `Release` when its holder goes (every handle type
// here is a pointer).
template <typename Handle, typename Release>
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<Handle>, Release>;

// A top-level window is destroyed without running its owner's handlers: the
// owner is already going, and its end is not the program's.
struct DestroyDetachedWindow
{
    void operator()(HWND window) const noexcept
    {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
};

using UniqueFont = UniqueHandle<HFONT, Releaser<DeleteObject>>;
using UniqueBrush = UniqueHandle<HBRUSH, Releaser<DeleteObject>>;
using UniqueBitmap = UniqueHandle<HBITMAP, Releaser<DeleteObject>>;
using UniqueMemoryDc = UniqueHandle<HDC, Releaser<DeleteDC>>;
using UniqueIcon = UniqueHandle<HICON, Releaser<DestroyIcon>>;
using UniqueWindow = UniqueHandle<HWND, DestroyDetachedWindow>;

// An object selected into a device context until the end of the scope.
class Selection
{
public:
    Selection(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc_, previous_); }
    Selection(const Selection &) = delete;
    Selection &operator=(const Selection &) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The device context of a window's client area on the screen, or of the
// whole screen, for making compatible ones.
class ScreenDc
{
public:
    explicit ScreenDc(HWND window = nullptr) noexcept : window_(window), dc_(GetDC(window)) {}
    ~ScreenDc() { ReleaseDC(window_, dc_); }
    ScreenDc(const ScreenDc &) = delete;
    ScreenDc &operator=(const ScreenDc &) = delete;

    HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

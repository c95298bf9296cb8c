// The window's accessible objects as a client in the program's own process
// holds them, run under Wine: how they walk, what they say they stand for,
// what they answer once the window is gone, and what the system's objects
// are left to do.
#include "Accessibility.h"

#include "AccessibilityApi.h"
#include "Form1.h"
#include "OwnedHandles.h"
#include "WindowTable.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <oleacc.h>
#include <vector>

namespace {

// COM in the test's thread, as a client has it.
class Apartment
{
public:
    Apartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~Apartment() { CoUninitialize(); }
    Apartment(const Apartment &) = delete;
    Apartment &operator=(const Apartment &) = delete;
};

IAccessible *objectOf(HWND window)
{
    IAccessible *object = nullptr;
    AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                               reinterpret_cast<void **>(&object));
    return object;
}

VARIANT childId(LONG id)
{
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// The window an object says it stands for, or null.
HWND windowOf(IAccessible *object)
{
    HWND window = nullptr;
    if (object)
        WindowFromAccessibleObject(object, &window);
    return window;
}

// Where `direction` leads from `start` of `object`: the window of the object
// found, or null with what the call answered.
struct Step
{
    HRESULT result;
    HWND window;
};
Step navigate(IAccessible *object, LONG direction, LONG start = CHILDID_SELF)
{
    VARIANT end{};
    const HRESULT result = object->accNavigate(direction, childId(start), &end);
    HWND window = nullptr;
    if (end.vt == VT_DISPATCH) {
        IAccessible *found = nullptr;
        end.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void **>(&found));
        window = windowOf(found);
        found->Release();
    }
    VariantClear(&end);
    return {result, window};
}

std::vector<HWND> readingOrder(const Form1 &form)
{
    std::vector<HWND> controls;
    for (const form::ControlSpec *row : form::readingOrder())
        controls.push_back(form.control(row->name));
    return controls;
}

LRESULT WINAPI refuseHandOver(REFIID, WPARAM, LPUNKNOWN)
{
    return E_OUTOFMEMORY;
}

// A bare window with the Calculate button as its one readable control.
// Passes the window's own messages to the readers first, as Form1 does.
LRESULT CALLBACK bareProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *readers =
        reinterpret_cast<WindowAccessibility *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (readers) {
        if (const auto answer = readers->windowMessage(message, wParam, lParam))
            return *answer;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

struct BareWindow
{
    BareWindow()
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = bareProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"BareWindow";
        RegisterClassW(&windowClass); // again for each test: the first one stays
        window.reset(CreateWindowExW(0, L"BareWindow", L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                     nullptr, nullptr, windowClass.hInstance, nullptr));
        button = CreateWindowExW(0, L"BUTTON", L"&Go", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20,
                                 window.get(), nullptr, windowClass.hInstance, nullptr);
    }
    std::vector<WindowAccessibility::Control> controls() const
    {
        return {{&form::controlWithRole(form::Role::Calculate), button}};
    }
    // The window's deleter detaches it before destroying it, so `readers`
    // may go first.
    void attach(WindowAccessibility &readers) const
    {
        SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&readers));
    }

    UniqueWindow window;
    HWND button;
};

} // namespace

TEST(WindowAccessibility, NavigationFollowsTheReadingOrderAndEachObjectItsOwnWindow)
{
    const Apartment apartment;
    const Form1 form(GetModuleHandleW(nullptr));
    IAccessible *window = objectOf(form.window());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(windowOf(window), form.window());
    std::vector<HWND> order = readingOrder(form);

    // Object by object from the first child and from the last, to the end.
    const auto walk = [&](LONG from, LONG direction) {
        std::vector<HWND> met{navigate(window, from).window};
        while (met.back() && met.size() <= order.size()) {
            IAccessible *at = objectOf(met.back());
            met.push_back(navigate(at, direction).window);
            at->Release();
        }
        return met;
    };
    order.push_back(nullptr);
    EXPECT_EQ(walk(NAVDIR_FIRSTCHILD, NAVDIR_NEXT), order);
    order.pop_back();
    std::ranges::reverse(order);
    order.push_back(nullptr);
    EXPECT_EQ(walk(NAVDIR_LASTCHILD, NAVDIR_PREVIOUS), order);
    order.pop_back();
    std::ranges::reverse(order);

    // By the window's child ids; spatial moves have no reading order to follow.
    for (LONG id = 1; id < static_cast<LONG>(order.size()); ++id) {
        EXPECT_EQ(navigate(window, NAVDIR_NEXT, id).window, order[id]);
        EXPECT_EQ(navigate(window, NAVDIR_PREVIOUS, id + 1).window, order[id - 1]);
        EXPECT_EQ(navigate(window, NAVDIR_DOWN, id).result, E_NOTIMPL);
    }
    IAccessible *button = objectOf(form.control(form::Role::Calculate));
    EXPECT_EQ(navigate(button, NAVDIR_RIGHT).result, E_NOTIMPL);
    EXPECT_EQ(button->Release(), 1u); // the window's own
    EXPECT_EQ(window->Release(), 1u);
}

namespace {

// Every question to an object whose window is gone.
void expectDefunct(IAccessible *object)
{
    BSTR name = SysAllocString(L"left over");
    EXPECT_EQ(object->get_accName(childId(CHILDID_SELF), &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(name, nullptr);
    LONG count = -1;
    EXPECT_EQ(object->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    IDispatch *parent = nullptr;
    EXPECT_EQ(object->get_accParent(&parent), CO_E_OBJNOTCONNECTED);
    VARIANT found{};
    EXPECT_EQ(object->get_accFocus(&found), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(object->accHitTest(10, 10, &found), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(object->accNavigate(NAVDIR_FIRSTCHILD, childId(CHILDID_SELF), &found),
              CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(found.vt, VT_EMPTY);
    LONG left, top, width, height;
    EXPECT_EQ(object->accLocation(&left, &top, &width, &height, childId(CHILDID_SELF)),
              CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(object->accDoDefaultAction(childId(CHILDID_SELF)), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(object->accDoDefaultAction(childId(1)), CO_E_OBJNOTCONNECTED);
    HWND own = nullptr;
    EXPECT_EQ(WindowFromAccessibleObject(object, &own), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(own, nullptr);
}

} // namespace

TEST(WindowAccessibility, ObjectsHeldPastTheWindowAnswerNotConnectedAndAreFreed)
{
    const Apartment apartment;
    IAccessible *window = nullptr;
    IAccessible *button = nullptr;
    {
        Form1 form(GetModuleHandleW(nullptr));
        window = objectOf(form.window());
        ASSERT_NE(window, nullptr);
        button = objectOf(form.control(form::Role::Calculate));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(windowOf(button), form.control(form::Role::Calculate));
        // Exit: the window is destroyed while Form1 lives on, as until the
        // message loop ends.
        SendMessageW(form.control(form::Role::Exit), BM_CLICK, 0, 0);
        MSG quit;
        EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        SCOPED_TRACE("the window gone");
        expectDefunct(window);
        expectDefunct(button);
    }
    SCOPED_TRACE("Form1 gone");
    expectDefunct(window);
    expectDefunct(button);
    // Nothing else holds them: the window's side let go of every reference.
    EXPECT_EQ(button->Release(), 0u);
    EXPECT_EQ(window->Release(), 0u);
}

TEST(WindowAccessibility, WhatCannotBeHandedOverIsLeftToTheSystem)
{
    const Apartment apartment;
    BareWindow bare;
    AccessibilityApi api = AccessibilityApi::system();
    api.lresultFromObject = refuseHandOver;
    WindowAccessibility accessibility(bare.window.get(), bare.controls(), api);
    bare.attach(accessibility);
    EXPECT_EQ(SendMessageW(bare.window.get(), WM_GETOBJECT, 0, OBJID_CLIENT),
              DefWindowProcW(bare.window.get(), WM_GETOBJECT, 0, OBJID_CLIENT));
}

// An MSAA client, as a screen reader is one: run in the program's Wine
// prefix beside its window, it prints what assistive technology reads.
//   msaa-client tree      the window's children in order, one a line:
//                         "role | name | description | shortcut | window"
//                         ("-" for none; the window is the class of the one
//                         the object says it stands for), then "focus NAME"
//                         and "hit NAME", what lies at the centre of the
//                         fourth child's location
//   msaa-client press N   the N-th child's default action; status 3 where
//                         the program ended before its answer reached the
//                         client (a press of Exit can end it that soon)
//   msaa-client announce  waits (at most 20 s) for the answer label's own
//                         events, a name change and a live region change of
//                         its client object (not the one the system sends
//                         for the window when its text is set), and prints
//                         "announced name NAME | VALUE" and "announced live
//                         NAME | VALUE" with the object's name and value;
//                         "listening" once the hooks are in place.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <oleacc.h>
#include <string>
#include <windows.h>

namespace {

std::string utf8(const wchar_t *text)
{
    if (!text || !*text)
        return "-";
    char buffer[2048] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    return buffer;
}

const char *roleName(const VARIANT &role)
{
    if (role.vt != VT_I4)
        return "?";
    switch (role.lVal) {
    case ROLE_SYSTEM_PUSHBUTTON:
        return "push button";
    case ROLE_SYSTEM_STATICTEXT:
        return "text";
    case ROLE_SYSTEM_GRAPHIC:
        return "graphic";
    case ROLE_SYSTEM_SEPARATOR:
        return "separator";
    case ROLE_SYSTEM_CLIENT:
        return "client";
    default:
        return "other";
    }
}

template <typename Ask> std::string text(Ask ask)
{
    BSTR value = nullptr;
    ask(&value);
    const std::string result = utf8(value);
    SysFreeString(value);
    return result;
}

int printTree(HWND window)
{
    IAccessible *client = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void **>(&client)))) {
        std::puts("no accessible object");
        return 1;
    }
    LONG count = 0;
    client->get_accChildCount(&count);
    std::printf("children %ld\n", count);
    // The window an object stands for, by its class, as a screen reader asks.
    const auto windowOf = [](IAccessible *object) {
        HWND window = nullptr;
        char name[64] = "-";
        if (SUCCEEDED(WindowFromAccessibleObject(object, &window)) && window)
            GetClassNameA(window, name, sizeof name);
        return std::string(name);
    };
    VARIANT children[32] = {};
    LONG got = 0;
    AccessibleChildren(client, 0, count < 32 ? count : 32, children, &got);
    for (LONG i = 0; i < got; ++i) {
        IAccessible *object = client;
        VARIANT id = children[i];
        if (children[i].vt == VT_DISPATCH) {
            children[i].pdispVal->QueryInterface(__uuidof(IAccessible),
                                                 reinterpret_cast<void **>(&object));
            id.vt = VT_I4;
            id.lVal = CHILDID_SELF;
        }
        VARIANT role{};
        object->get_accRole(id, &role);
        std::printf("%s | %s | %s | %s | %s\n", roleName(role),
                    text([&](BSTR *out) { object->get_accName(id, out); }).c_str(),
                    text([&](BSTR *out) { object->get_accDescription(id, out); }).c_str(),
                    text([&](BSTR *out) { object->get_accKeyboardShortcut(id, out); }).c_str(),
                    object == client ? "-" : windowOf(object).c_str());
        if (object != client)
            object->Release();
        VariantClear(&children[i]);
    }

    const auto nameOf = [&](VARIANT &found) {
        std::string name = "-";
        if (found.vt == VT_DISPATCH) {
            IAccessible *object = nullptr;
            found.pdispVal->QueryInterface(__uuidof(IAccessible),
                                           reinterpret_cast<void **>(&object));
            VARIANT self{};
            self.vt = VT_I4;
            name = text([&](BSTR *out) { object->get_accName(self, out); });
            object->Release();
        } else if (found.vt == VT_I4) {
            name = text([&](BSTR *out) { client->get_accName(found, out); });
        }
        VariantClear(&found);
        return name;
    };
    VARIANT focus{};
    client->get_accFocus(&focus);
    std::printf("focus %s\n", nameOf(focus).c_str());
    VARIANT fourth{};
    fourth.vt = VT_I4;
    fourth.lVal = 4;
    LONG left = 0, top = 0, width = 0, height = 0;
    client->accLocation(&left, &top, &width, &height, fourth);
    VARIANT hit{};
    client->accHitTest(left + width / 2, top + height / 2, &hit);
    std::printf("hit %s\n", nameOf(hit).c_str());
    client->Release();
    return 0;
}

int press(HWND window, long child)
{
    IAccessible *client = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void **>(&client))))
        return 1;
    VARIANT id{};
    id.vt = VT_I4;
    id.lVal = child;
    const HRESULT done = client->accDoDefaultAction(id);
    client->Release();
    std::printf("pressed %ld: 0x%08lx\n", child, static_cast<unsigned long>(done));
    switch (done) {
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED):
    case HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE):
    case RPC_E_DISCONNECTED:
    case RPC_E_SERVER_DIED:
    case RPC_E_SERVER_DIED_DNE:
        return 3;
    default:
        return SUCCEEDED(done) ? 0 : 1;
    }
}

// EVENT_OBJECT_LIVEREGIONCHANGED, from Windows 8 on.
constexpr DWORD kLiveRegionChanged = 0x8019;
bool heardName = false;
bool heardLive = false;

void CALLBACK changed(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                      DWORD)
{
    if (object != OBJID_CLIENT || child != CHILDID_SELF)
        return;
    IAccessible *accessible = nullptr;
    VARIANT id{};
    if (FAILED(AccessibleObjectFromEvent(window, object, child, &accessible, &id)))
        return;
    const std::string name = text([&](BSTR *out) { accessible->get_accName(id, out); });
    const std::string value = text([&](BSTR *out) { accessible->get_accValue(id, out); });
    accessible->Release();
    if (name.find("01384") == std::string::npos)
        return;
    std::printf("announced %s %s | %s\n", event == kLiveRegionChanged ? "live" : "name",
                name.c_str(), value.c_str());
    std::fflush(stdout);
    (event == kLiveRegionChanged ? heardLive : heardName) = true;
}

int listen()
{
    const HWINEVENTHOOK names = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE,
                                                nullptr, changed, 0, 0, WINEVENT_OUTOFCONTEXT);
    const HWINEVENTHOOK live = SetWinEventHook(kLiveRegionChanged, kLiveRegionChanged, nullptr,
                                               changed, 0, 0, WINEVENT_OUTOFCONTEXT);
    if (!names || !live) {
        std::puts("no hook");
        return 1;
    }
    std::puts("listening");
    std::fflush(stdout);
    const DWORD end = GetTickCount() + 20000;
    while (!(heardName && heardLive) && GetTickCount() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    UnhookWinEvent(names);
    UnhookWinEvent(live);
    if (!heardName || !heardLive)
        std::puts("not all announced");
    return heardName && heardLive ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int status = 2;
    if (argc == 2 && std::strcmp(argv[1], "announce") == 0) {
        status = listen();
    } else if (const HWND window = FindWindowW(L"Vantrel1Form1", L"Velto"); !window) {
        std::puts("no window");
        status = 1;
    } else if (argc == 2 && std::strcmp(argv[1], "tree") == 0) {
        status = printTree(window);
    } else if (argc == 3 && std::strcmp(argv[1], "press") == 0) {
        status = press(window, std::strtol(argv[2], nullptr, 10));
    }
    std::fflush(stdout);
    CoUninitialize();
    return status;
}

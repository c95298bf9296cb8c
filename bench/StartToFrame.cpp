// Built for the host and used by bench/run-windows: starts a program and
// times, from the start, its top-level X window named NAME becoming viewable
// and then the pixel at (X, Y) of that window showing RRGGBB (its first
// painted frame). Polls every few milliseconds over one X connection, which
// a loop of xdotool, xwininfo and import processes cannot do. Prints
// "VIEWABLE_MS PAINTED_MS WINDOW_ID", ends the program and reaps it.
// usage: start-to-frame NAME X Y RRGGBB PROGRAM [ARGUMENTS...]
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPollInterval = std::chrono::milliseconds(5);
constexpr auto kGiveUpAfter = std::chrono::seconds(20);

struct CloseDisplay
{
    void operator()(Display *display) const { XCloseDisplay(display); }
};

// A window may go between listing and asking about it: not an error here.
int ignoreErrors(Display *, XErrorEvent *)
{
    return 0;
}

bool named(Display *display, Window window, const char *name)
{
    char *title = nullptr;
    if (!XFetchName(display, window, &title) || !title)
        return false;
    const bool same = std::strcmp(title, name) == 0;
    XFree(title);
    return same;
}

// The viewable top-level window called `name`, or None.
Window findViewable(Display *display, const char *name)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return None;
    Window found = None;
    for (unsigned i = 0; i < count && found == None; ++i) {
        XWindowAttributes attributes{};
        if (named(display, children[i], name) &&
            XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable)
            found = children[i];
    }
    if (children)
        XFree(children);
    return found;
}

// The screen's colour at the window's (x, y), as 0xRRGGBB, or -1.
long pixelAt(Display *display, Window window, int x, int y)
{
    Window child = 0;
    int rootX = 0, rootY = 0;
    const Window root = DefaultRootWindow(display);
    if (!XTranslateCoordinates(display, window, root, x, y, &rootX, &rootY, &child))
        return -1;
    XImage *image = XGetImage(display, root, rootX, rootY, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return -1;
    const unsigned long value = XGetPixel(image, 0, 0);
    const long rgb = static_cast<long>(((value & image->red_mask) >> 16 & 0xFF) << 16 |
                                       ((value & image->green_mask) >> 8 & 0xFF) << 8 |
                                       (value & image->blue_mask & 0xFF));
    XDestroyImage(image);
    return rgb;
}

long millisecondsSince(Clock::time_point start)
{
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 6) {
        std::fputs("usage: start-to-frame NAME X Y RRGGBB PROGRAM [ARGUMENTS...]\n", stderr);
        return 2;
    }
    const char *name = argv[1];
    const int x = std::atoi(argv[2]), y = std::atoi(argv[3]);
    const long colour = std::strtol(argv[4], nullptr, 16);
    const std::unique_ptr<Display, CloseDisplay> display(XOpenDisplay(nullptr));
    if (!display) {
        std::fputs("start-to-frame: no display\n", stderr);
        return 2;
    }
    XSetErrorHandler(ignoreErrors);

    const Clock::time_point start = Clock::now();
    const pid_t program = fork();
    if (program == 0) {
        // Only the timings go to standard output.
        const int nothing = open("/dev/null", O_WRONLY);
        dup2(nothing, STDOUT_FILENO);
        dup2(nothing, STDERR_FILENO);
        execvp(argv[5], argv + 5);
        _exit(127);
    }
    if (program < 0)
        return 1;

    long viewable = -1, painted = -1;
    Window window = None;
    while (painted < 0 && Clock::now() - start < kGiveUpAfter) {
        if (window == None) {
            window = findViewable(display.get(), name);
            if (window != None)
                viewable = millisecondsSince(start);
        }
        if (window != None && pixelAt(display.get(), window, x, y) == colour) {
            painted = millisecondsSince(start);
            break;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    kill(program, SIGTERM);
    waitpid(program, nullptr, 0);
    if (painted < 0) {
        std::fprintf(stderr, "start-to-frame: %s %s\n", name,
                     window == None ? "never became viewable" : "never showed its colour");
        return 1;
    }
    std::printf("%ld %ld %lu\n", viewable, painted, window);
    return 0;
}

// The floor of bench_startup: the least an X program does to show a window. It connects, makes a
// window of the class "bare", maps it, fills it on every Expose and waits for the next event.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

int main()
{
    Display* x = XOpenDisplay(nullptr);
    if (!x)
        return 1;
    const int screen = DefaultScreen(x);
    const Window window = XCreateSimpleWindow(x, RootWindow(x, screen), 0, 0, 300, 200, 0, BlackPixel(x, screen), WhitePixel(x, screen));
    char name[] = "bare", className[] = "Bare";
    XClassHint hint { name, className };
    XSetClassHint(x, window, &hint);
    XSelectInput(x, window, ExposureMask);
    XMapWindow(x, window);
    GC gc = XCreateGC(x, window, 0, nullptr);
    XSetForeground(x, gc, 0x808080);
    for (;;) {
        XEvent event;
        XNextEvent(x, &event);
        if (event.type == Expose && event.xexpose.count == 0)
            XFillRectangle(x, window, gc, 20, 20, 260, 160);
    }
}

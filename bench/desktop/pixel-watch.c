/* pixel-watch X Y RRGGBB TIMEOUT_MS: waits until the screen's pixel at X Y has the colour
 * RRGGBB, reading it about every millisecond, and prints the CLOCK_MONOTONIC time (ms) when it
 * first did; exits 1 without output after TIMEOUT_MS. Cheaper and finer than dumping the screen. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

int main(int argc, char** argv)
{
    if (argc != 5)
        return 2;
    Display* display = XOpenDisplay(NULL);
    if (!display)
        return 2;
    const int x = atoi(argv[1]), y = atoi(argv[2]);
    const unsigned long wanted = strtoul(argv[3], NULL, 16);
    const double end = now_ms() + atof(argv[4]);
    const Window root = DefaultRootWindow(display);
    const struct timespec pause = {0, 1000000};
    while (now_ms() < end) {
        XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
        const double seen = now_ms();
        const unsigned long pixel = image ? XGetPixel(image, 0, 0) & 0xffffff : 0;
        if (image)
            XDestroyImage(image);
        if (image && pixel == wanted) {
            printf("%.3f\n", seen);
            return 0;
        }
        nanosleep(&pause, NULL);
    }
    return 1;
}

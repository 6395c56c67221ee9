// damage_watch: timestamps every update of one X window and measures how
// far its picture moved since the update before, for the soak of the bar.
//
//   damage_watch WINDOW OUTPUT [SECONDS]
//
// WINDOW is the X window id (decimal or 0x hex). OUTPUT gets a first line
// "# window WIDTHxHEIGHT", then one line per update:
//
//   SERVER_MS LOCAL_MS SHIFT
//
// SERVER_MS is the X server's time stamp of the update (the DAMAGE event's,
// so how late this client reads it does not matter), LOCAL_MS the wall
// clock (ms since the epoch) when it was read, to line it up with other
// samples. SHIFT is how many pixels the picture moved left since the last
// picture taken, or -1 when that cannot be told (no earlier picture, a
// picture without features, a move beyond the search range). Pictures are
// taken after each burst of events, so the shifts add up to the distance
// the content travelled.
//
// Ends after SECONDS (default: never), on SIGTERM or SIGINT, or when the
// window goes away; exit status 0 then, 1 on a bad start.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <errno.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>

#include "frame_shift.h"

enum { kExitOk = 0, kExitBadStart = 1 };

static volatile sig_atomic_t stopRequested = 0;
static int windowGone = 0;

static void OnStopSignal(int signalNumber) {
    (void)signalNumber;
    stopRequested = 1;
}

// A vanished window makes the next request fail; that ends the watch.
static int OnXError(Display* display, XErrorEvent* error) {
    (void)display;
    if (error->error_code == BadWindow || error->error_code == BadDrawable || error->error_code == BadMatch) {
        windowGone = 1;
    }
    return 0;
}

static long long WallMs(void) {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return (long long)now.tv_sec * 1000 + now.tv_nsec / 1000000;
}

static double MonotonicSeconds(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec + (double)now.tv_nsec / 1e9;
}

// Copies the window's picture into `frame` (resized as needed); 0 when
// the window cannot be read.
static int TakeFrame(Display* display, Window window, Frame* frame) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || windowGone) return 0;
    XImage* image = XGetImage(display, window, 0, 0, (unsigned)attributes.width, (unsigned)attributes.height,
                              AllPlanes, ZPixmap);
    XSync(display, False);
    if (image == NULL || windowGone) return 0;
    int ok = FrameResize(frame, attributes.width, attributes.height);
    for (int y = 0; ok && y < frame->height; ++y) {
        for (int x = 0; x < frame->width; ++x) {
            frame->pixels[(size_t)y * (size_t)frame->width + (size_t)x] = (uint32_t)XGetPixel(image, x, y);
        }
    }
    XDestroyImage(image);
    return ok;
}

// Waits up to `seconds` for the connection to have input; 0 on timeout or
// a signal.
static int WaitForInput(Display* display, double seconds) {
    if (XPending(display) > 0) return 1;
    const int fd = ConnectionNumber(display);
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(fd, &readable);
    struct timeval timeout;
    timeout.tv_sec = (time_t)seconds;
    timeout.tv_usec = (suseconds_t)((seconds - (double)timeout.tv_sec) * 1e6);
    const int ready = select(fd + 1, &readable, NULL, NULL, &timeout);
    return ready > 0;
}

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        fprintf(stderr, "usage: damage_watch WINDOW OUTPUT [SECONDS]\n");
        return kExitBadStart;
    }
    const Window window = (Window)strtoul(argv[1], NULL, 0);
    const double limit = argc == 4 ? atof(argv[3]) : -1.0;

    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "damage_watch: cannot open the display\n");
        return kExitBadStart;
    }
    int damageEvent = 0, damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        fprintf(stderr, "damage_watch: the X server has no DAMAGE extension\n");
        return kExitBadStart;
    }
    XSetErrorHandler(OnXError);
    // A display without input blanks after ten minutes, and then every
    // picture would be the blank screen: no screen saver while we watch.
    XSetScreenSaver(display, 0, 0, DontPreferBlanking, AllowExposures);

    FILE* output = fopen(argv[2], "w");
    if (output == NULL) {
        fprintf(stderr, "damage_watch: cannot write %s: %s\n", argv[2], strerror(errno));
        return kExitBadStart;
    }
    setvbuf(output, NULL, _IOLBF, 0);

    signal(SIGTERM, OnStopSignal);
    signal(SIGINT, OnStopSignal);

    // Every drawing that reaches the window, as it happens.
    const Damage damage = XDamageCreate(display, window, XDamageReportRawRectangles);
    XSelectInput(display, window, StructureNotifyMask);
    Frame previous = {0}, current = {0};
    if (!TakeFrame(display, window, &previous)) {
        fprintf(stderr, "damage_watch: window 0x%lx cannot be read\n", (unsigned long)window);
        return kExitBadStart;
    }
    fprintf(output, "# window %dx%d\n", previous.width, previous.height);

    const double start = MonotonicSeconds();
    const double kPollSeconds = 0.25;
    while (!stopRequested && !windowGone) {
        if (limit >= 0 && MonotonicSeconds() - start >= limit) break;
        if (!WaitForInput(display, kPollSeconds)) continue;

        // One line per server time stamp: the rectangles of one drawing
        // arrive as several events with the same time.
        Time lastStamp = 0;
        int updates = 0;
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == DestroyNotify) windowGone = 1;
            if (event.type != damageEvent + XDamageNotify) continue;
            const XDamageNotifyEvent* notify = (const XDamageNotifyEvent*)&event;
            if (updates > 0 && notify->timestamp == lastStamp) continue;
            if (updates > 0) fprintf(output, "%lu %lld -1\n", (unsigned long)lastStamp, WallMs());
            lastStamp = notify->timestamp;
            ++updates;
        }
        if (updates == 0) continue;
        int shift = -1;
        if (!windowGone && TakeFrame(display, window, &current)) {
            shift = FrameShift(&previous, &current);
            Frame swap = previous;
            previous = current;
            current = swap;
        }
        fprintf(output, "%lu %lld %d\n", (unsigned long)lastStamp, WallMs(), shift);
    }

    if (!windowGone) XDamageDestroy(display, damage);
    FrameFree(&previous);
    FrameFree(&current);
    fclose(output);
    XCloseDisplay(display);
    return kExitOk;
}

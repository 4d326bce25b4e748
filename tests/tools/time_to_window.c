/* Measures how long a program takes from its start to showing its window.
 *
 *   time_to_window --name NAME (--min-size WxH | --shape FILE) [--timeout SECONDS]
 *                  [--managed] [--idle [--at-idle SHELL-COMMAND]] -- COMMAND [ARG]...
 *
 * Starts COMMAND and waits until a window whose WM_NAME is NAME is viewable and what
 * it shows is at least W x H pixels: the extents of its bounding shape, or its size
 * when it has no shape. With --shape it waits instead until the window's bounding
 * shape is exactly the rectangles of FILE ("x y w h" a line, window coordinates, as
 * xshape_dump prints them). With --managed only windows that the window manager
 * manages count (not override-redirect ones, such as a shaped text window). Prints
 * the time from the start of COMMAND to that moment in milliseconds ("123.4"), then
 * ends COMMAND (SIGTERM, SIGKILL after five seconds).
 *
 * With --idle it then waits until COMMAND is idle (no processor time used for one
 * second, at most 20 s) and adds to the line the processor time COMMAND has used
 * (user and system, every thread, those that have already ended included, in
 * milliseconds), its proportional set size (PSS) and its private dirty memory (in
 * KiB): "123.4 98.7 20480 9216". --at-idle runs a shell command at that moment,
 * before COMMAND ends, with COMMAND's process id in TIME_TO_WINDOW_PID; what it prints
 * follows the line.
 *
 * The same condition holds for any window, plain or shaped, so two programs can be
 * timed alike. The display comes from DISPLAY; COMMAND inherits the environment and
 * dies with this tool. Exit status: 0 shown, 1 not shown within the timeout (30 s by
 * default) or COMMAND ended first, 2 usage or no display. */
#define _GNU_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static int ignoreXError(Display* display, XErrorEvent* event)
{
    /* Windows come and go while they are looked at. */
    (void)display;
    (void)event;
    return 0;
}

static double nowMs(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec * 1000.0 + (double)ts.tv_nsec / 1.0e6;
}

static void pause2ms(void)
{
    const struct timespec ts = {0, 2 * 1000 * 1000};
    nanosleep(&ts, NULL);
}

static int hasName(Display* display, Window window, const char* name)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = NULL;
    if (XGetWindowProperty(display, window, XA_WM_NAME, 0, 256, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) != Success) {
        return 0;
    }
    const int same =
        data != NULL && format == 8 && count == strlen(name) && memcmp(data, name, count) == 0;
    if (data != NULL) {
        XFree(data);
    }
    return same;
}

enum
{
    MaxCandidates = 64
};

struct Candidates
{
    Window windows[MaxCandidates];
    int count;
};

static void addCandidate(struct Candidates* candidates, Window window)
{
    for (int i = 0; i < candidates->count; ++i) {
        if (candidates->windows[i] == window) {
            return;
        }
    }
    if (candidates->count < MaxCandidates) {
        candidates->windows[candidates->count++] = window;
    }
}

static int managedOnly = 0;

static int counts(Display* display, Window window)
{
    XWindowAttributes attributes;
    return !managedOnly ||
           (XGetWindowAttributes(display, window, &attributes) && !attributes.override_redirect);
}

/* Adds the windows named NAME at most DEPTH levels below WINDOW (a window manager
 * puts top-level windows into frames of its own). Several can carry the name: Qt's
 * hidden group leader window bears the program's name. */
static void findNamed(Display* display, Window window, const char* name, int depth,
                      struct Candidates* candidates)
{
    Window root = None;
    Window parent = None;
    Window* children = NULL;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) {
        return;
    }
    for (unsigned int i = 0; i < count; ++i) {
        if (hasName(display, children[i], name) && counts(display, children[i])) {
            addCandidate(candidates, children[i]);
        }
        if (depth > 1) {
            findNamed(display, children[i], name, depth - 1, candidates);
        }
    }
    if (children != NULL) {
        XFree(children);
    }
}

/* A bounding shape as the X server lists it: rectangles in window coordinates. */
struct Shape
{
    XRectangle* rects;
    int count;
};

/* Reads "x y w h" lines into SHAPE; 0 when the file cannot be read or holds none. */
static int readShape(const char* path, struct Shape* shape)
{
    FILE* file = fopen(path, "r");
    if (file == NULL) {
        return 0;
    }
    int capacity = 0;
    int x = 0, y = 0, w = 0, h = 0;
    while (fscanf(file, "%d %d %d %d", &x, &y, &w, &h) == 4) {
        if (shape->count == capacity) {
            capacity = capacity == 0 ? 256 : capacity * 2;
            XRectangle* grown = realloc(shape->rects, (size_t)capacity * sizeof *grown);
            if (grown == NULL) {
                fclose(file);
                return 0;
            }
            shape->rects = grown;
        }
        const XRectangle rect = {(short)x, (short)y, (unsigned short)w, (unsigned short)h};
        shape->rects[shape->count++] = rect;
    }
    fclose(file);
    return shape->count > 0;
}

/* Whether the window's bounding shape is exactly SHAPE. The server keeps a shape in
 * one canonical order, so equal shapes list equal rectangles. */
static int hasShape(Display* display, Window window, const struct Shape* shape)
{
    int count = 0;
    int ordering = 0;
    XRectangle* rects = XShapeGetRectangles(display, window, ShapeBounding, &count, &ordering);
    const int same = rects != NULL && count == shape->count &&
                     memcmp(rects, shape->rects, (size_t)count * sizeof *rects) == 0;
    if (rects != NULL) {
        XFree(rects);
    }
    return same;
}

/* 1 when the window is viewable and shows at least width x height pixels (or exactly
 * the shape EXACT when given), 0 when not yet, -1 when the window is gone. */
static int isShown(Display* display, Window window, int width, int height,
                   const struct Shape* exact)
{
    XWindowAttributes attributes;
    memset(&attributes, 0, sizeof attributes);
    if (!XGetWindowAttributes(display, window, &attributes)) {
        return -1;
    }
    if (attributes.map_state != IsViewable) {
        return 0;
    }
    if (exact != NULL) {
        return hasShape(display, window, exact);
    }
    Bool boundingShaped = False;
    Bool clipShaped = False;
    int xb = 0, yb = 0, xc = 0, yc = 0;
    unsigned int wb = 0, hb = 0, wc = 0, hc = 0;
    if (!XShapeQueryExtents(display, window, &boundingShaped, &xb, &yb, &wb, &hb, &clipShaped, &xc,
                            &yc, &wc, &hc)) {
        return 0;
    }
    if (!boundingShaped) {
        wb = (unsigned int)attributes.width;
        hb = (unsigned int)attributes.height;
    }
    return wb >= (unsigned int)width && hb >= (unsigned int)height;
}

static void endChild(pid_t child)
{
    kill(child, SIGTERM);
    const double deadline = nowMs() + 5000.0;
    while (nowMs() < deadline) {
        const pid_t done = waitpid(child, NULL, WNOHANG);
        if (done == child || (done < 0 && errno != EINTR)) {
            return;
        }
        pause2ms();
    }
    kill(child, SIGKILL);
    waitpid(child, NULL, 0);
}

/* Processor time of the whole process in nanoseconds, threads that have already ended
 * included (its CPU-time clock), or -1 when the process is gone. Summing the threads
 * under /proc/PID/task would miss the ended ones; utime + stime in /proc/PID/stat
 * include them but count in clock ticks (10 ms); the rusage of wait4 includes them too
 * but only once the process has ended, after its shutdown. */
static long long cpuNs(pid_t pid)
{
    clockid_t clock;
    struct timespec ts;
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &ts) != 0) {
        return -1;
    }
    return (long long)ts.tv_sec * 1000000000LL + (long long)ts.tv_nsec;
}

/* The process's proportional set size and its private dirty memory (what it wrote
 * itself: heap, stacks, relocated data) in KiB, or -1 each. PSS gives the process a
 * share of every page it shares with others, so it moves with what else runs; the
 * private dirty memory does not. */
static void memoryKb(pid_t pid, long* pss, long* own)
{
    *pss = -1;
    *own = -1;
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/smaps_rollup", (int)pid);
    FILE* rollup = fopen(path, "r");
    if (rollup == NULL) {
        return;
    }
    char line[256];
    while (fgets(line, sizeof line, rollup) != NULL) {
        if (sscanf(line, "Pss: %ld kB", pss) != 1) {
            sscanf(line, "Private_Dirty: %ld kB", own);
        }
    }
    fclose(rollup);
}

/* Waits until the process has used no processor time for one second (at most 20 s),
 * then prints its processor time, PSS and private dirty memory after the time already
 * printed. */
static void reportIdle(pid_t child, const char* atIdle)
{
    long long last = cpuNs(child);
    double quietSince = nowMs();
    const double deadline = nowMs() + 20000.0;
    while (nowMs() - quietSince < 1000.0 && nowMs() < deadline) {
        const struct timespec tick = {0, 50 * 1000 * 1000};
        nanosleep(&tick, NULL);
        const long long now = cpuNs(child);
        if (now != last) {
            last = now;
            quietSince = nowMs();
        }
    }
    long pss = -1;
    long own = -1;
    memoryKb(child, &pss, &own);
    printf(" %.1f %ld %ld\n", (double)last / 1.0e6, pss, own);
    fflush(stdout);
    if (atIdle != NULL) {
        char value[32];
        snprintf(value, sizeof value, "%d", (int)child);
        setenv("TIME_TO_WINDOW_PID", value, 1);
        if (system(atIdle) != 0) {
            fprintf(stderr, "time_to_window: the --at-idle command failed\n");
        }
        fflush(stdout);
    }
}

static int usage(void)
{
    fprintf(stderr, "usage: time_to_window --name NAME (--min-size WxH | --shape FILE) "
                    "[--timeout SECONDS] [--managed] "
                    "[--idle [--at-idle SHELL-COMMAND]] -- COMMAND [ARG]...\n");
    return 2;
}

int main(int argc, char* argv[])
{
    const char* name = NULL;
    int width = -1;
    int height = -1;
    double timeoutMs = 30000.0;
    int idle = 0;
    const char* atIdle = NULL;
    const char* shapePath = NULL;
    int i = 1;
    for (; i < argc; ++i) {
        if (strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        }
        if (strcmp(argv[i], "--idle") == 0) {
            idle = 1;
            continue;
        }
        if (strcmp(argv[i], "--managed") == 0) {
            managedOnly = 1;
            continue;
        }
        if (i + 1 >= argc) {
            return usage();
        }
        if (strcmp(argv[i], "--name") == 0) {
            name = argv[++i];
        } else if (strcmp(argv[i], "--min-size") == 0) {
            if (sscanf(argv[++i], "%dx%d", &width, &height) != 2 || width < 0 || height < 0) {
                return usage();
            }
        } else if (strcmp(argv[i], "--shape") == 0) {
            shapePath = argv[++i];
        } else if (strcmp(argv[i], "--at-idle") == 0) {
            atIdle = argv[++i];
        } else if (strcmp(argv[i], "--timeout") == 0) {
            timeoutMs = atof(argv[++i]) * 1000.0;
        } else {
            return usage();
        }
    }
    if (name == NULL || (width < 0) == (shapePath == NULL) || i >= argc || timeoutMs <= 0 ||
        (atIdle != NULL && !idle)) {
        return usage();
    }
    char** command = &argv[i];
    struct Shape exact = {NULL, 0};
    if (shapePath != NULL && !readShape(shapePath, &exact)) {
        fprintf(stderr, "time_to_window: cannot read a shape from %s\n", shapePath);
        return 2;
    }

    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "time_to_window: cannot open display '%s'\n", XDisplayName(NULL));
        return 2;
    }
    int eventBase = 0;
    int errorBase = 0;
    if (!XShapeQueryExtension(display, &eventBase, &errorBase)) {
        fprintf(stderr, "time_to_window: the display has no SHAPE extension\n");
        return 2;
    }
    XSetErrorHandler(ignoreXError);
    const Window root = DefaultRootWindow(display);
    fflush(NULL);

    const double start = nowMs();
    const pid_t child = fork();
    if (child < 0) {
        perror("time_to_window: fork");
        return 2;
    }
    if (child == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        close(ConnectionNumber(display));
        execvp(command[0], command);
        fprintf(stderr, "time_to_window: cannot run %s: %s\n", command[0], strerror(errno));
        _exit(127);
    }

    struct Candidates candidates = {{0}, 0};
    double nextSearch = start;
    int status = 1;
    for (;;) {
        /* New windows are looked for now and then; the known ones at every turn. */
        if (nowMs() >= nextSearch) {
            findNamed(display, root, name, 3, &candidates);
            nextSearch = nowMs() + 5.0;
        }
        int shown = 0;
        for (int k = 0; k < candidates.count && !shown; ++k) {
            const int state = isShown(display, candidates.windows[k], width, height,
                                      shapePath != NULL ? &exact : NULL);
            if (state > 0) {
                shown = 1;
            } else if (state < 0) {
                candidates.windows[k--] = candidates.windows[--candidates.count];
            }
        }
        if (shown) {
            printf(idle ? "%.1f" : "%.1f\n", nowMs() - start);
            if (idle) {
                reportIdle(child, atIdle);
            }
            status = 0;
            break;
        }
        if (waitpid(child, NULL, WNOHANG) == child) {
            fprintf(stderr, "time_to_window: %s ended before it showed '%s'\n", command[0], name);
            XCloseDisplay(display);
            free(exact.rects);
            return 1;
        }
        if (nowMs() - start > timeoutMs) {
            if (shapePath != NULL) {
                fprintf(stderr,
                        "time_to_window: no window '%s' of the shape in %s shown within %.0f s\n",
                        name, shapePath, timeoutMs / 1000.0);
            } else {
                fprintf(stderr,
                        "time_to_window: no window '%s' of at least %dx%d shown within %.0f s\n",
                        name, width, height, timeoutMs / 1000.0);
            }
            break;
        }
        pause2ms();
    }
    fflush(stdout);
    endChild(child);
    XCloseDisplay(display);
    free(exact.rects);
    return status;
}

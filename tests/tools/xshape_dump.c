/* Reads back what the X server holds for a window.
 *
 *   xshape_dump WINDOW             bounding shape rectangles, one "x y w h" a line,
 *                                  in window coordinates, in the server's order
 *   xshape_dump --input WINDOW     input shape rectangles, the same way
 *   xshape_dump --shaped WINDOW    "shaped" when the window has a bounding shape of
 *                                  its own, else "unshaped"
 *   xshape_dump --geometry WINDOW  "x y w h state": position on the root window,
 *                                  size, and map state (unmapped, unviewable,
 *                                  viewable)
 *
 * WINDOW is a window id in decimal or 0x-hexadecimal. The display comes from
 * DISPLAY. Exit status: 0 done, 1 X error (such as a window that does not exist),
 * 2 usage or no display. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int xErrorCode;

static int onXError(Display* display, XErrorEvent* event)
{
    (void)display;
    xErrorCode = event->error_code;
    return 0;
}

static int failed(Display* display, const char* what)
{
    XSync(display, False);
    if (xErrorCode != 0) {
        fprintf(stderr, "xshape_dump: X error %d while reading %s\n", xErrorCode, what);
        return 1;
    }
    return 0;
}

static int dumpRectangles(Display* display, Window window, int kind)
{
    int count = 0;
    int ordering = 0;
    XRectangle* rects = XShapeGetRectangles(display, window, kind, &count, &ordering);
    if (failed(display, "the shape")) {
        return 1;
    }
    for (int i = 0; i < count; ++i) {
        printf("%d %d %u %u\n", rects[i].x, rects[i].y, rects[i].width, rects[i].height);
    }
    if (rects != NULL) {
        XFree(rects);
    }
    return 0;
}

static int dumpShaped(Display* display, Window window)
{
    Bool boundingShaped = False;
    Bool clipShaped = False;
    int xb = 0, yb = 0, xc = 0, yc = 0;
    unsigned int wb = 0, hb = 0, wc = 0, hc = 0;
    XShapeQueryExtents(display, window, &boundingShaped, &xb, &yb, &wb, &hb, &clipShaped, &xc, &yc,
                       &wc, &hc);
    if (failed(display, "the shape extents")) {
        return 1;
    }
    puts(boundingShaped ? "shaped" : "unshaped");
    return 0;
}

static int dumpGeometry(Display* display, Window window)
{
    XWindowAttributes attributes;
    memset(&attributes, 0, sizeof attributes);
    XGetWindowAttributes(display, window, &attributes);
    if (failed(display, "the window attributes")) {
        return 1;
    }
    int x = 0;
    int y = 0;
    Window child = None;
    XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child);
    if (failed(display, "the window position")) {
        return 1;
    }
    const char* state = attributes.map_state == IsViewable     ? "viewable"
                        : attributes.map_state == IsUnviewable ? "unviewable"
                                                               : "unmapped";
    printf("%d %d %d %d %s\n", x, y, attributes.width, attributes.height, state);
    return 0;
}

int main(int argc, char* argv[])
{
    const char* mode = "";
    const char* id = NULL;
    if (argc == 2) {
        id = argv[1];
    } else if (argc == 3 &&
               (strcmp(argv[1], "--shaped") == 0 || strcmp(argv[1], "--geometry") == 0 ||
                strcmp(argv[1], "--input") == 0)) {
        mode = argv[1];
        id = argv[2];
    } else {
        fprintf(stderr, "usage: xshape_dump [--input | --shaped | --geometry] WINDOW\n");
        return 2;
    }
    char* end = NULL;
    const unsigned long window = strtoul(id, &end, 0);
    if (end == id || *end != '\0' || window == 0) {
        fprintf(stderr, "xshape_dump: not a window id: %s\n", id);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "xshape_dump: cannot open display '%s'\n", XDisplayName(NULL));
        return 2;
    }
    int eventBase = 0;
    int errorBase = 0;
    if (!XShapeQueryExtension(display, &eventBase, &errorBase)) {
        fprintf(stderr, "xshape_dump: the display has no SHAPE extension\n");
        XCloseDisplay(display);
        return 2;
    }
    XSetErrorHandler(onXError);
    int status = 0;
    if (strcmp(mode, "--shaped") == 0) {
        status = dumpShaped(display, (Window)window);
    } else if (strcmp(mode, "--geometry") == 0) {
        status = dumpGeometry(display, (Window)window);
    } else if (strcmp(mode, "--input") == 0) {
        status = dumpRectangles(display, (Window)window, ShapeInput);
    } else {
        status = dumpRectangles(display, (Window)window, ShapeBounding);
    }
    XCloseDisplay(display);
    return status;
}

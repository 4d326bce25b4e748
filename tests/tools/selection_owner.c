/* Prints the window that owns an X selection, as 0x-prefixed hexadecimal, and exits
 * 0; exits 1 when nobody owns it and 2 when the display cannot be opened.
 *
 *   selection_owner SELECTION      e.g. WM_S0, _NET_SYSTEM_TRAY_S0
 *
 * The display comes from DISPLAY. */
#include <X11/Xlib.h>
#include <stdio.h>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s SELECTION\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "%s: cannot open display '%s'\n", argv[0], XDisplayName(NULL));
        return 2;
    }
    const Atom selection = XInternAtom(display, argv[1], False);
    const Window owner = XGetSelectionOwner(display, selection);
    XCloseDisplay(display);
    if (owner == None) {
        return 1;
    }
    printf("0x%lx\n", (unsigned long)owner);
    return 0;
}

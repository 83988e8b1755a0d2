/* Preloaded into the Wine processes of tools/run and tools/test.
 *
 * Wine gives every process a colormap of its own, even on a TrueColor screen where a colormap
 * changes nothing. A screen whose windows use several colormaps makes screenshot tools such as
 * xwd read it window by window, and xwd then loses every window that lies wholly inside
 * another of the same colormap: a dialog over the main window comes out as a black rectangle,
 * although the screen shows it. Here a colormap asked for the screen's default visual is the
 * screen's default colormap, so the windows of every Wine process share one and any tool reads
 * the screen as it is.
 *
 * No X headers needed: the few declarations are written out, and the symbols come from the
 * libX11 that the process has loaded. */
#define _GNU_SOURCE
#include <dlfcn.h>

typedef struct _XDisplay Display;
typedef struct Visual Visual;
typedef unsigned long XID;

extern int XDefaultScreen(Display*);
extern Visual* XDefaultVisual(Display*, int);
extern XID XDefaultColormap(Display*, int);
extern XID XVisualIDFromVisual(Visual*);

enum { AllocNone = 0 };

XID XCreateColormap(Display* display, XID window, Visual* visual, int alloc) {
    static XID (*create)(Display*, XID, Visual*, int);
    const int screen = XDefaultScreen(display);
    if (alloc == AllocNone &&
        XVisualIDFromVisual(visual) == XVisualIDFromVisual(XDefaultVisual(display, screen)))
        return XDefaultColormap(display, screen); /* freeing it later is a no-op for X */
    if (!create) create = (XID(*)(Display*, XID, Visual*, int))dlsym(RTLD_NEXT, "XCreateColormap");
    return create(display, window, visual, alloc);
}

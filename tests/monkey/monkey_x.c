/* The X side of the monkey test, for what xdotool cannot do:
 *   monkey_x list PID         the mapped top-level windows of PID, bottom to top, one a line:
 *                             "ID X Y WIDTH HEIGHT KIND TITLE" (KIND: window or popup)
 *   monkey_x ping WIN MS      asks WIN's toolkit for a _NET_WM_PING answer; exit 0 when it
 *                             answers within MS milliseconds, 1 when it does not
 *   monkey_x close WIN        asks WIN to close as a window manager's close box does
 * A window whose process no longer handles its events fails the ping: that is a hang. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/time.h>

static long now_ms(void) {
  struct timeval tv;
  gettimeofday(&tv, NULL);
  return tv.tv_sec * 1000L + tv.tv_usec / 1000;
}

static int ignore_errors(Display* d, XErrorEvent* e) {
  (void)d;
  (void)e;
  return 0;
}

static long window_pid(Display* d, Window w) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = NULL;
  long pid = -1;
  if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL, &type, &format,
                         &count, &after, &data) == Success && data && count == 1)
    pid = (long)*(unsigned long*)data;
  if (data) XFree(data);
  return pid;
}

static int list_windows(Display* d, long pid) {
  Window root_return, parent, *children = NULL;
  unsigned int n = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root_return, &parent, &children, &n)) return 1;
  for (unsigned int i = 0; i < n; ++i) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, children[i], &a) || a.map_state != IsViewable) continue;
    const int popup = a.override_redirect;
    /* Popups (menus, drop-down lists, tool tips) carry no process id; report them all. */
    if (!popup && window_pid(d, children[i]) != pid) continue;
    if (a.width <= 1 || a.height <= 1) continue;
    char* name = NULL;
    XFetchName(d, children[i], &name);
    printf("%lu %d %d %d %d %s %s\n", (unsigned long)children[i], a.x, a.y, a.width, a.height,
           popup ? "popup" : "window", name ? name : "");
    if (name) XFree(name);
  }
  if (children) XFree(children);
  return 0;
}

static int send_protocol(Display* d, Window w, const char* protocol, long stamp) {
  XEvent e;
  memset(&e, 0, sizeof e);
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = (long)XInternAtom(d, protocol, False);
  e.xclient.data.l[1] = stamp;
  e.xclient.data.l[2] = (long)w;
  XSendEvent(d, w, False, NoEventMask, &e);
  XFlush(d);
  return 0;
}

static int ping(Display* d, Window w, long timeout) {
  const Window root = DefaultRootWindow(d);
  const Atom ping_atom = XInternAtom(d, "_NET_WM_PING", False);
  /* The toolkit sends the answer to the root window. */
  XSelectInput(d, root, SubstructureNotifyMask);
  const long stamp = now_ms() & 0x7fffffff;
  send_protocol(d, w, "_NET_WM_PING", stamp);
  const long deadline = now_ms() + timeout;
  for (;;) {
    while (XPending(d)) {
      XEvent e;
      XNextEvent(d, &e);
      if (e.type == ClientMessage && (Atom)e.xclient.data.l[0] == ping_atom && e.xclient.data.l[1] == stamp)
        return 0;
    }
    const long left = deadline - now_ms();
    if (left <= 0) return 1;
    struct pollfd p = {ConnectionNumber(d), POLLIN, 0};
    poll(&p, 1, (int)left);
  }
}

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: monkey_x list PID | ping WIN MS | close WIN\n");
    return 2;
  }
  Display* d = XOpenDisplay(NULL);
  if (!d) {
    fprintf(stderr, "monkey_x: cannot open the display\n");
    return 2;
  }
  XSetErrorHandler(ignore_errors);
  int status = 2;
  if (strcmp(argv[1], "list") == 0) status = list_windows(d, atol(argv[2]));
  else if (strcmp(argv[1], "ping") == 0 && argc == 4) status = ping(d, (Window)strtoul(argv[2], NULL, 0), atol(argv[3]));
  else if (strcmp(argv[1], "close") == 0) status = send_protocol(d, (Window)strtoul(argv[2], NULL, 0), "WM_DELETE_WINDOW", CurrentTime);
  XCloseDisplay(d);
  return status;
}

#include "platform/gtk/x11_place.h"

#include <gdk/x11/gdkx.h>

void PlaceOnX11(GtkWidget* window, int left, int top) {
  GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(window));
  if (!surface || !GDK_IS_X11_SURFACE(surface)) return;
  XMoveWindow(gdk_x11_display_get_xdisplay(gtk_widget_get_display(window)), gdk_x11_surface_get_xid(surface),
              left, top);
}

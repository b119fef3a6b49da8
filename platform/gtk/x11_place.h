// Where a window stands on X, which GTK 4 leaves to the window manager: the program asks for the place it
// has on Windows. Apart, since X's headers define names (None, Box) the program's own headers use.
#pragma once

#include <gtk/gtk.h>

// Does nothing on a display other than X, or before the window is mapped.
void PlaceOnX11(GtkWidget* window, int left, int top);

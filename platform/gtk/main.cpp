// The Linux program's entry: the desktop's toolkits, then the program on the disc it was started from.
#include <gst/gst.h>
#include <gtk/gtk.h>

#include "platform/gtk/gtk_platform.h"

int main(int argc, char** argv) {
  gtk_init();
  gst_init(&argc, &argv);
  static GtkPlatform platform(ProgramFolderOnHost(argc > 0 ? argv[0] : nullptr));
  platform.Run();
}

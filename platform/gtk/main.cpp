// The Linux program's entry: the desktop's toolkits, then the program on the disc it was started from.
#include <gtk/gtk.h>

#include "platform/gtk/gtk_platform.h"

int main(int, char** argv) {
  // Its name for the desktop and screen readers, also when the loader started it (whose name it would get).
  g_set_prgname("velmaro");
  gtk_init();
  static GtkPlatform platform(ProgramFolderOnHost(argv[0]));
  platform.Run();
}

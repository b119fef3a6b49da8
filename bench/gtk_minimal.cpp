// The floor of the Linux start-up benchmark: GTK 4 showing menu.bmp of the program's folder in a window of
// its size, with the same 20 texts drawn over it (pango, cairo) as the benchmark's menu.inf gives velmaro.
#include <gtk/gtk.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "bench/layout.h"

namespace {

void Draw(GtkDrawingArea*, cairo_t* cr, int, int, gpointer data) {
  gdk_cairo_set_source_pixbuf(cr, static_cast<GdkPixbuf*>(data), 0, 0);
  cairo_paint(cr);
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* font = pango_font_description_from_string("Verdana Bold");
  pango_font_description_set_absolute_size(font, kBenchLinkPixels * PANGO_SCALE);
  pango_layout_set_font_description(layout, font);
  cairo_set_source_rgb(cr, (kBenchLinkColour & 0xFF) / 255.0, ((kBenchLinkColour >> 8) & 0xFF) / 255.0,
                       ((kBenchLinkColour >> 16) & 0xFF) / 255.0);
  for (int i = 0; i < kBenchLinks; ++i) {
    std::string caption = "Link " + std::to_string(i + 1);
    pango_layout_set_text(layout, caption.c_str(), -1);
    cairo_move_to(cr, BenchLinkLeft(i) / 15, BenchLinkTop(i) / 15);
    pango_cairo_show_layout(cr, layout);
  }
  pango_font_description_free(font);
  g_object_unref(layout);
}

}  // namespace

int main() {
  gtk_init();
  char self[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string path = n > 0 ? std::string(self, static_cast<std::size_t>(n)) : std::string();
  path = path.substr(0, path.rfind('/') + 1) + "menu.bmp";
  GdkPixbuf* picture = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
  if (!picture) return 1;
  GtkWidget* window = gtk_window_new();
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  GtkWidget* area = gtk_drawing_area_new();
  gtk_drawing_area_set_content_width(GTK_DRAWING_AREA(area), gdk_pixbuf_get_width(picture));
  gtk_drawing_area_set_content_height(GTK_DRAWING_AREA(area), gdk_pixbuf_get_height(picture));
  gtk_drawing_area_set_draw_func(GTK_DRAWING_AREA(area), Draw, picture, nullptr);
  gtk_window_set_child(GTK_WINDOW(window), area);
  gtk_window_present(GTK_WINDOW(window));
  for (;;)
    g_main_context_iteration(nullptr, TRUE);
}

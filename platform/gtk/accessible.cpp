// The menu's links for screen readers: each shown link a link widget over its place, named by its caption,
// with its Alt shortcut and an action that clicks it. They draw nothing and take no pointer; what they are
// asked to do goes through the gate as a posted click does on Windows.
#include "menu/keyboard.h"
#include "platform/controls.h"
#include "platform/events.h"
#include "platform/gtk/gtk_platform.h"
#include "platform/win32/units.h"

namespace {

GtkPlatform& Program() {
  return *static_cast<GtkPlatform*>(CurrentPlatform());
}

struct PostedClick {
  int link;
  uint32_t page;
};

void Clicked(GtkButton* button, gpointer) {
  auto* click = new PostedClick{GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "velmaro-link")),
                                GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(button), "velmaro-page"))};
  // Carried out from the queue, as a screen reader's call must not run the click inside its own request.
  g_idle_add_full(
      G_PRIORITY_DEFAULT,
      +[](gpointer data) -> gboolean {
        auto* posted = static_cast<PostedClick*>(data);
        Program().AccessibleClick(posted->link, posted->page);
        return G_SOURCE_REMOVE;
      },
      click, +[](gpointer data) { delete static_cast<PostedClick*>(data); });
}

// The links' widgets take exactly their label's box: no theme's minimum size, padding or border.
void StyleLinks(GtkWidget* links) {
  if (g_object_get_data(G_OBJECT(links), "velmaro-styled")) return;
  g_object_set_data(G_OBJECT(links), "velmaro-styled", GINT_TO_POINTER(1));
  GtkCssProvider* css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(
      css, "button.velmaro-link { min-width: 0; min-height: 0; padding: 0; margin: 0; border: 0; }", -1);
  gtk_style_context_add_provider_for_display(gtk_widget_get_display(links), GTK_STYLE_PROVIDER(css),
                                             GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(css);
}

}  // namespace

void GtkPlatform::AccessibleClick(int link, uint32_t page) {
  if (link < 0 || link >= kLinkCount || !lblLink(link).Visible()) return;
  gate_.LetClick(gateSystem_.Tick(), page, [link] { events::LabelClick(static_cast<int16_t>(link)); });
}

void GtkPlatform::UpdateAccessibleLinks() {
  GtkForm& menu = forms_[static_cast<int>(Win::Menu)];
  if (!menu.links) return;
  int focus = KeyboardMark();
  // Rebuilt after each page load; a move of the keyboard only moves the focus among them.
  bool rebuild =
      g_object_get_data(G_OBJECT(menu.links), "velmaro-page") != GUINT_TO_POINTER(gate_.PageShown() + 1);
  if (rebuild) {
    StyleLinks(menu.links);
    while (GtkWidget* child = gtk_widget_get_first_child(menu.links))
      gtk_fixed_remove(GTK_FIXED(menu.links), child);
    g_object_set_data(G_OBJECT(menu.links), "velmaro-page", GUINT_TO_POINTER(gate_.PageShown() + 1));
    for (int16_t link : ReadingOrder()) {
      const Label& label = lblLink(link);
      PixelRect p = TwipRectToPixels(label.Rect(), kBaseDpi);
      GtkWidget* button =
          GTK_WIDGET(g_object_new(GTK_TYPE_BUTTON, "accessible-role", GTK_ACCESSIBLE_ROLE_LINK, nullptr));
      gtk_widget_add_css_class(button, "velmaro-link");
      gtk_widget_set_opacity(button, 0);
      gtk_widget_set_focus_on_click(button, FALSE);
      gtk_widget_set_size_request(button, std::max(1, p.right - p.left), std::max(1, p.bottom - p.top));
      std::string name = ToUtf8(ShownCaption(label.Caption()));
      wchar_t key = AccessKeyOf(label.Caption());
      std::string shortcut = key ? "Alt+" + ToUtf8(Text(1, UpperCase(key))) : std::string();
      gtk_accessible_update_property(GTK_ACCESSIBLE(button), GTK_ACCESSIBLE_PROPERTY_LABEL, name.c_str(),
                                     GTK_ACCESSIBLE_PROPERTY_KEY_SHORTCUTS, shortcut.c_str(), -1);
      g_object_set_data(G_OBJECT(button), "velmaro-link", GINT_TO_POINTER(link));
      g_object_set_data(G_OBJECT(button), "velmaro-page", GUINT_TO_POINTER(gate_.PageShown()));
      g_signal_connect(button, "clicked", G_CALLBACK(Clicked), nullptr);
      gtk_fixed_put(GTK_FIXED(menu.links), button, p.left, p.top);
    }
  }
  if (focus < 0) return;
  for (GtkWidget* child = gtk_widget_get_first_child(menu.links); child;
       child = gtk_widget_get_next_sibling(child)) {
    if (GPOINTER_TO_INT(g_object_get_data(G_OBJECT(child), "velmaro-link")) == focus) {
      gtk_widget_grab_focus(child);
      break;
    }
  }
}

void GtkPlatform::AnnounceAvailability(bool available) {
  GtkForm& menu = forms_[static_cast<int>(Win::Menu)];
  if (!menu.links) return;
  // Each link says so itself: a reader asks the link, not the window around it.
  for (GtkWidget* child = gtk_widget_get_first_child(menu.links); child;
       child = gtk_widget_get_next_sibling(child))
    gtk_widget_set_sensitive(child, available);
}

// The windows: the splash without a frame, the menu as a fixed-size window whose inner area takes the
// picture's size; drawing, the pointer, the keys and the timer.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>

#include "menu/keyboard.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/events.h"
#include "platform/gtk/gtk_platform.h"
#include "platform/gtk/x11_place.h"
#include "platform/system_colors.h"
#include "platform/win32/units.h"

namespace {

constexpr unsigned kDpi = kBaseDpi;  // GTK scales the whole window for the display; the layout is 96 DPI
constexpr guint kSplashInterval = 3000;
const TwipSize kSplashBox{1215, 495};
const TwipSize kMenuBox{5415, 3615};
const TwipSize kSplashInner{2115, 1620};
const TwipSize kMenuInner{5400, 3585};
constexpr uint32_t kBlack = 0;

GtkPlatform& Program() {
  return *static_cast<GtkPlatform*>(CurrentPlatform());
}

void SetSource(cairo_t* cr, uint32_t bgr) {
  cairo_set_source_rgb(cr, (bgr & 0xFF) / 255.0, ((bgr >> 8) & 0xFF) / 255.0, ((bgr >> 16) & 0xFF) / 255.0);
}

// The time an event was queued, on the gate's clock. A display server whose clock is not the monotonic one
// (another machine's) gives times far from it: then the time of handling stands for it.
uint32_t EventTime(GtkEventController* controller) {
  auto now = static_cast<uint32_t>(g_get_monotonic_time() / 1000);
  guint32 time = gtk_event_controller_get_current_event_time(controller);
  int32_t apart = static_cast<int32_t>(now - time);
  return time && apart > -1000 && apart < 60000 ? time : now;
}

void DrawForm(GtkDrawingArea*, cairo_t* cr, int, int, gpointer data) {
  Program().Draw(*static_cast<GtkForm*>(data), cr);
}

}  // namespace

void GtkPlatform::CreateWindow(GtkForm& form) {
  bool menu = form.which == Win::Menu;
  form.window = gtk_window_new();
  gtk_window_set_resizable(GTK_WINDOW(form.window), FALSE);
  gtk_window_set_title(GTK_WINDOW(form.window), "");
  if (!menu) gtk_window_set_decorated(GTK_WINDOW(form.window), FALSE);
  form.area = gtk_drawing_area_new();
  gtk_drawing_area_set_draw_func(GTK_DRAWING_AREA(form.area), DrawForm, &form, nullptr);
  GtkWidget* overlay = gtk_overlay_new();
  gtk_overlay_set_child(GTK_OVERLAY(overlay), form.area);
  gtk_window_set_child(GTK_WINDOW(form.window), overlay);
  g_signal_connect(form.window, "close-request", G_CALLBACK(+[](GtkWindow*, gpointer data) -> gboolean {
                     return Program().CloseRequested(static_cast<GtkForm*>(data)->which);
                   }),
                   &form);
  g_signal_connect(
      form.window, "map",
      G_CALLBACK(+[](GtkWidget*, gpointer data) { Program().Mapped(*static_cast<GtkForm*>(data)); }), &form);
  if (menu) {
    form.links = gtk_fixed_new();
    gtk_widget_set_can_target(form.links, FALSE);
    gtk_overlay_add_overlay(GTK_OVERLAY(overlay), form.links);

    GtkEventController* motion = gtk_event_controller_motion_new();
    g_signal_connect(motion, "motion",
                     G_CALLBACK(+[](GtkEventControllerMotion* c, double x, double y, gpointer) {
                       Program().PointerMove(x, y, EventTime(GTK_EVENT_CONTROLLER(c)));
                     }),
                     nullptr);
    gtk_widget_add_controller(form.area, motion);

    GtkGesture* click = gtk_gesture_click_new();
    gtk_gesture_single_set_button(GTK_GESTURE_SINGLE(click), GDK_BUTTON_PRIMARY);
    g_signal_connect(click, "pressed",
                     G_CALLBACK(+[](GtkGestureClick* c, int n, double x, double y, gpointer) {
                       Program().Press(n, x, y, EventTime(GTK_EVENT_CONTROLLER(c)));
                     }),
                     nullptr);
    g_signal_connect(click, "released",
                     G_CALLBACK(+[](GtkGestureClick* c, int, double x, double y, gpointer) {
                       Program().Release(x, y, EventTime(GTK_EVENT_CONTROLLER(c)));
                     }),
                     nullptr);
    gtk_widget_add_controller(form.area, GTK_EVENT_CONTROLLER(click));

    // Before the window's own Tab handling, which would move a focus the links do not have.
    GtkEventController* keys = gtk_event_controller_key_new();
    gtk_event_controller_set_propagation_phase(keys, GTK_PHASE_CAPTURE);
    g_signal_connect(keys, "key-pressed",
                     G_CALLBACK(+[](GtkEventControllerKey* c, guint keyval, guint, GdkModifierType state,
                                    gpointer) -> gboolean {
                       return Program().Key(keyval, state, EventTime(GTK_EVENT_CONTROLLER(c)));
                     }),
                     nullptr);
    g_signal_connect(keys, "key-released",
                     G_CALLBACK(+[](GtkEventControllerKey*, guint keyval, guint, GdkModifierType, gpointer) {
                       Program().KeyUp(keyval);
                     }),
                     nullptr);
    gtk_widget_add_controller(form.window, keys);
    gtk_widget_set_focusable(form.window, TRUE);
  }
}

GtkForm& GtkPlatform::Need(Win window) {
  GtkForm& form = forms_[static_cast<int>(window)];
  if (form.window || window == Win::Main) return form;
  bool menu = window == Win::Menu;
  form.box = menu ? kMenuBox : kSplashBox;
  form.inner = menu ? kMenuInner : kSplashInner;
  form.background = menu ? kBlack : DefaultSystemColor(kSysColorButtonFace);
  CreateWindow(form);
  ApplyInnerSize(form);
  if (menu) gate_.Raise([] { events::MenuLoad(); });
  return form;
}

void GtkPlatform::ApplyInnerSize(GtkForm& form) {
  if (!form.area) return;
  gtk_drawing_area_set_content_width(GTK_DRAWING_AREA(form.area),
                                     std::max(1, TwipsToPixels(form.inner.width, kDpi)));
  gtk_drawing_area_set_content_height(GTK_DRAWING_AREA(form.area),
                                      std::max(1, TwipsToPixels(form.inner.height, kDpi)));
}

void GtkPlatform::LoadPictureFile(Box box, const Text& path) {
  GtkForm& form = FormOf(box);
  HeadlessPlatform::Resolved found = disc_.Resolve(path);
  struct stat st;
  if (found.status != LookupStatus::Found || found.isFolder || stat(found.path.c_str(), &st) != 0 ||
      !S_ISREG(st.st_mode))
    throw AppError(ErrorKind::FileNotFound);
  // The formats the program shows; gdk-pixbuf may know others, which it does not.
  GdkPixbufFormat* format = gdk_pixbuf_get_file_info(found.path.c_str(), nullptr, nullptr);
  gchar* name = format ? gdk_pixbuf_format_get_name(format) : nullptr;
  std::string formatName = name ? name : "";
  g_free(name);
  static const char* const kShown[] = {"bmp", "jpeg", "gif", "png", "ico"};
  if (std::none_of(std::begin(kShown), std::end(kShown), [&](const char* f) { return formatName == f; }))
    throw AppError(ErrorKind::FileNotFound);
  GdkPixbuf* picture = gdk_pixbuf_new_from_file(found.path.c_str(), nullptr);
  if (!picture) throw AppError(ErrorKind::FileNotFound);
  if (form.picture) g_object_unref(form.picture);
  form.picture = picture;
  form.box = TwipSize{PixelsToTwips(gdk_pixbuf_get_width(picture), kDpi),
                      PixelsToTwips(gdk_pixbuf_get_height(picture), kDpi)};
  if (form.area) gtk_widget_queue_draw(form.area);
}

TwipSize GtkPlatform::BoxSize(Box box) {
  return FormOf(box).box;
}

void GtkPlatform::SetInnerSize(Win window, TwipSize inner) {
  GtkForm& form = Need(window);
  form.inner = inner;
  ApplyInnerSize(form);
}

TwipSize GtkPlatform::WindowSize(Win window) {
  // The frame is the window manager's and unknown before the window shows: the inner size stands for it.
  return Need(window).inner;
}

void GtkPlatform::MoveWindow(Win window, float left, float top) {
  GtkForm& form = Need(window);
  form.placed = true;
  form.left = TwipsToPixels(left, kDpi);
  form.top = TwipsToPixels(top, kDpi);
  if (form.window && gtk_widget_get_mapped(form.window)) Mapped(form);
}

void GtkPlatform::Mapped(GtkForm& form) {
  // GTK 4 places no window itself; on X the program asks for its place as on Windows, elsewhere the
  // desktop places it.
  if (!form.placed) return;
  PlaceOnX11(form.window, form.left, form.top);
}

void GtkPlatform::ShowWindow(Win window) {
  GtkForm& form = Need(window);
  if (!form.window) return;
  gtk_window_present(GTK_WINDOW(form.window));
  if (window == Win::Menu) gtk_widget_grab_focus(form.window);
  bool first = !form.shownOnce;
  form.shownOnce = true;
  if (window == Win::Menu && first) gate_.Raise([] { events::MenuActivate(); });
}

void GtkPlatform::HideWindow(Win window) {
  GtkForm& form = Need(window);
  if (form.window) gtk_widget_set_visible(form.window, FALSE);
}

void GtkPlatform::EnableTimer(bool enabled) {
  if (timer_) g_source_remove(timer_);
  timer_ = 0;
  if (!enabled) return;
  timer_ = g_timeout_add(
      kSplashInterval,
      +[](gpointer) -> gboolean {
        Program().Events().Raise([] { events::TimerTick(); });
        return G_SOURCE_CONTINUE;
      },
      nullptr);
}

bool GtkPlatform::Stalled() const {
  for (const GtkForm& form : forms_) {
    if (form.window && gtk_widget_get_visible(form.window)) return false;
  }
  return timer_ == 0;
}

bool GtkPlatform::CloseRequested(Win window) {
  // Only the menu can be closed by the user, and not while its message box waits for an answer.
  if (window != Win::Menu || !gate_.Open()) return true;
  gate_.Raise([] { events::MenuUnload(); });
  _exit(0);
}

void GtkPlatform::RepaintLabel(int, const TwipRect&, const TwipRect&) {
  GtkForm& menu = forms_[static_cast<int>(Win::Menu)];
  if (menu.area) gtk_widget_queue_draw(menu.area);
}

void GtkPlatform::Draw(GtkForm& form, cairo_t* cr) {
  SetSource(cr, form.background);
  cairo_paint(cr);
  int width = TwipsToPixels(form.box.width, kDpi), height = TwipsToPixels(form.box.height, kDpi);
  cairo_save(cr);
  cairo_rectangle(cr, 0, 0, width, height);
  cairo_clip(cr);
  SetSource(cr, DefaultSystemColor(form.which == Win::Menu ? kSysColorButtonFace : kSysColorWindow));
  cairo_paint(cr);
  if (form.picture) {
    int pw = gdk_pixbuf_get_width(form.picture), ph = gdk_pixbuf_get_height(form.picture);
    if (pw != width || ph != height)
      cairo_scale(cr, static_cast<double>(width) / pw, static_cast<double>(height) / ph);
    gdk_cairo_set_source_pixbuf(cr, form.picture, 0, 0);
    cairo_paint(cr);
  }
  cairo_restore(cr);
  if (form.which != Win::Menu) return;
  cairo_save(cr);
  cairo_rectangle(cr, 0, 0, width, height);
  cairo_clip(cr);
  DrawLabels(cr);
  DrawMark(cr);
  cairo_restore(cr);
}

void GtkPlatform::DrawLabels(cairo_t* cr) {
  // The lower index on top: drawn last.
  for (int i = kLinkCount - 1; i >= 0; --i) {
    const Label& label = lblLink(i);
    if (!label.Visible()) continue;
    PixelRect p = TwipRectToPixels(label.Rect(), kDpi);
    if (p.right <= p.left || p.bottom <= p.top) continue;
    int underline = -1;
    Text shown = ShownCaption(label.Caption(), &underline);
    PangoLayout* layout = disc_.TextLayout(label.Font(), shown, kDpi, underline, nullptr);
    cairo_save(cr);
    cairo_rectangle(cr, p.left, p.top, p.right - p.left, p.bottom - p.top);
    cairo_clip(cr);
    SetSource(cr, ColorValue(label.ForeColor()));
    // The baseline lies where GDI's text cell puts it: its ascent below the top of the rectangle.
    HeadlessPlatform::Cell cell = disc_.TextCell(label.Font(), kDpi);
    double baseline = pango_layout_get_baseline(layout) / static_cast<double>(PANGO_SCALE);
    cairo_move_to(cr, p.left, p.top + (cell.ascent > 0 ? cell.ascent - baseline : 0));
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
    g_object_unref(layout);
  }
}

void GtkPlatform::DrawMark(cairo_t* cr) {
  int link = KeyboardMark();
  if (link < 0) return;
  PixelRect p = TwipRectToPixels(lblLink(link).Rect(), kDpi);
  // Dotted and inverting what is under it, so it shows on any picture.
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_set_line_width(cr, 1);
  double dash[] = {1, 1};
  cairo_set_dash(cr, dash, 2, 0);
  cairo_rectangle(cr, p.left + 0.5, p.top + 0.5, std::max(0, p.right - p.left - 1),
                  std::max(0, p.bottom - p.top - 1));
  cairo_stroke(cr);
  cairo_restore(cr);
}

int GtkPlatform::LabelUnder(double x, double y, bool* inside) const {
  const GtkForm& menu = forms_[static_cast<int>(Win::Menu)];
  int px = static_cast<int>(std::floor(x)), py = static_cast<int>(std::floor(y));
  *inside = px >= 0 && py >= 0 && px < TwipsToPixels(menu.box.width, kDpi) &&
            py < TwipsToPixels(menu.box.height, kDpi);
  if (!*inside) return -1;
  return LabelAt(PixelsToTwips(px, kDpi), PixelsToTwips(py, kDpi));
}

void GtkPlatform::PointerMove(double x, double y, uint32_t time) {
  bool inside = false;
  int label = LabelUnder(x, y, &inside);
  if (!inside) return;
  if (label >= 0) {
    gate_.Let(time, [label] { events::LabelMouseMove(static_cast<int16_t>(label)); });
  } else {
    gate_.Let(time, [] { events::BackgroundMouseMove(); });
  }
}

void GtkPlatform::Press(int presses, double x, double y, uint32_t time) {
  bool inside = false;
  // The second press of a double click starts no click of its own, as on Windows; neither does a press
  // the gate would not let in, even when the release comes after it opens.
  pressed_ = presses % 2 == 1 && gate_.Admits(time) ? LabelUnder(x, y, &inside) : -1;
}

void GtkPlatform::Release(double x, double y, uint32_t time) {
  int pressed = pressed_;
  pressed_ = -1;
  bool inside = false;
  int label = LabelUnder(x, y, &inside);
  if (pressed >= 0 && label == pressed)
    gate_.Let(time, [label] { events::LabelClick(static_cast<int16_t>(label)); });
}

bool GtkPlatform::Key(guint keyval, GdkModifierType state, uint32_t time) {
  using events::MenuKey;
  MenuKey key;
  switch (keyval) {
    case GDK_KEY_Tab:
    case GDK_KEY_KP_Tab:
      key = (state & GDK_SHIFT_MASK) ? MenuKey::Previous : MenuKey::Next;
      break;
    case GDK_KEY_ISO_Left_Tab:
      key = MenuKey::Previous;
      break;
    case GDK_KEY_Right:
    case GDK_KEY_Down:
    case GDK_KEY_KP_Right:
    case GDK_KEY_KP_Down:
      key = MenuKey::Next;
      break;
    case GDK_KEY_Left:
    case GDK_KEY_Up:
    case GDK_KEY_KP_Left:
    case GDK_KEY_KP_Up:
      key = MenuKey::Previous;
      break;
    case GDK_KEY_Home:
    case GDK_KEY_KP_Home:
      key = MenuKey::First;
      break;
    case GDK_KEY_End:
    case GDK_KEY_KP_End:
      key = MenuKey::Last;
      break;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
    case GDK_KEY_space:
    case GDK_KEY_KP_Space:
      // A key held down performs once, not once per repeat.
      if (performHeld_) return true;
      performHeld_ = true;
      key = MenuKey::Perform;
      break;
    default: {
      if (state & GDK_CONTROL_MASK) return false;
      gunichar c = gdk_keyval_to_unicode(keyval);
      if (c <= L' ' || c > 0xFFFF) return !(state & GDK_ALT_MASK) && c != 0;
      bool claimed = false;
      gate_.Let(time, [&] { claimed = events::MenuCharacter(static_cast<wchar_t>(c)); });
      // Alt with a letter of no link is the desktop's.
      return claimed || !(state & GDK_ALT_MASK);
    }
  }
  gate_.Let(time, [key] { events::MenuKeyDown(key); });
  return true;
}

void GtkPlatform::KeyUp(guint keyval) {
  if (keyval == GDK_KEY_Return || keyval == GDK_KEY_KP_Enter || keyval == GDK_KEY_ISO_Enter ||
      keyval == GDK_KEY_space || keyval == GDK_KEY_KP_Space)
    performHeld_ = false;
}

void GtkPlatform::KeyboardFocusChanged(int, bool) {
  GtkForm& menu = forms_[static_cast<int>(Win::Menu)];
  if (menu.area) gtk_widget_queue_draw(menu.area);
  UpdateAccessibleLinks();
}

void GtkPlatform::LinksChanged() {
  gate_.NewPageShown();
  UpdateAccessibleLinks();
}

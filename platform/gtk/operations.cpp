// The shell, message boxes, the screen and the end of the program on a Linux desktop.
#include <gio/gio.h>
#include <langinfo.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cwctype>

#include "platform/events.h"
#include "platform/gtk/gst_sound.h"
#include "platform/gtk/gtk_platform.h"
#include "platform/gtk/launch_plan.h"
#include "platform/gtk/x11_place.h"

namespace {

const Text kNeedsWindowsTitle = L"Windows Program";

Text NeedsWindowsMessage(const Text& file) {
  return file + L" is a program for Windows. It runs on Windows, or here once Wine is installed.";
}

// The host file a name of the disc finds, or nothing.
std::string HostFile(HeadlessPlatform& disc, const Text& name) {
  HeadlessPlatform::Resolved found = disc.Resolve(name);
  if (found.status != LookupStatus::Found || found.isFolder) return std::string();
  return found.path;
}

// The name as the user knows it: from the disc's root, as the disc holds it.
Text ShownName(const Text& file) {
  std::size_t root = file.find(L":\\");
  return root == Text::npos ? file : file.substr(root + 2);
}

bool Spawnable(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

}  // namespace

uint32_t GtkGateSystem::Tick() {
  // The clock the display's event times are on (X and Wayland both count milliseconds of the monotonic
  // clock).
  return static_cast<uint32_t>(g_get_monotonic_time() / 1000);
}

GtkPlatform::GtkPlatform(const std::string& folder)
    : disc_(folder),
      sounds_(OpenGstSound, [this](const Text& name) { return HostFile(disc_, name); }),
      gate_(
          gateSystem_,
          [] { return static_cast<GtkPlatform*>(CurrentPlatform())->Stalled(); },
          [] { _exit(1); }) {
  const char* codePage = getenv("VELMARO_CODEPAGE");
  if (codePage && *codePage) disc_.codePage = codePage;
  forms_[0].which = Win::Main;
  forms_[1].which = Win::Splash;
  forms_[2].which = Win::Menu;
  SetPlatform(this);
}

GtkPlatform::~GtkPlatform() {
  for (GtkForm& form : forms_) {
    if (form.picture) g_object_unref(form.picture);
    if (form.window) gtk_window_destroy(GTK_WINDOW(form.window));
  }
}

void GtkPlatform::Run() {
  gate_.Raise([] { events::MainLoad(); });
  for (;;)
    g_main_context_iteration(nullptr, TRUE);
}

std::vector<std::string> GtkPlatform::WindowsHandler() {
  std::vector<std::string> handler;
  GAppInfo* app = g_app_info_get_default_for_type("application/x-ms-dos-executable", FALSE);
  if (!app) return handler;
  const char* line = g_app_info_get_commandline(app);
  gchar** words = nullptr;
  if (line && g_shell_parse_argv(line, nullptr, &words, nullptr)) {
    for (gchar** word = words; *word; ++word)
      handler.emplace_back(*word);
    g_strfreev(words);
  }
  g_object_unref(app);
  return handler;
}

void GtkPlatform::Spawn(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& a : argv)
    args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  // From the disc's root, as a program started from a disc expects; the program runs on after this one. A
  // handler's command line may name its program without a folder.
  g_spawn_async(disc_.folder().c_str(), args.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr,
                nullptr);
}

void GtkPlatform::Open(const std::string& uri) {
  // The desktop's opener as found on PATH, so a session's own choice of it counts.
  gchar* opener = g_find_program_in_path("xdg-open");
  if (opener) {
    Spawn({opener, uri});
    g_free(opener);
    return;
  }
  g_app_info_launch_default_for_uri(uri.c_str(), nullptr, nullptr);
}

void GtkPlatform::ShellExecuteA(Owner, const Text&, const Text& file, const Text& parameters) {
  ShellTarget target = ClassifyShellFile(file, L'D');
  if (target.kind == ShellTarget::Uri || target.kind == ShellTarget::HostPath) {
    Open(target.uri);
    return;
  }
  if (target.kind != ShellTarget::Disc) return;
  HeadlessPlatform::Resolved found = disc_.Resolve(file);
  // The shell says nothing of a missing file; the program has told the user already.
  if (found.status != LookupStatus::Found) return;
  DiscFile disc;
  disc.path = found.path;
  disc.folder = found.isFolder;
  if (!disc.folder) {
    disc.head = disc_.ReadHead(found, kLaunchHeadBytes);
    disc.executable = Spawnable(found.path);
  }
  LaunchPlan plan = PlanDiscLaunch(disc, parameters, WindowsHandler());
  switch (plan.kind) {
    case LaunchPlan::Open:
      Open(plan.target);
      break;
    case LaunchPlan::Run:
      Spawn(plan.argv);
      break;
    case LaunchPlan::NeedsWindows:
      ShowCriticalMessage(NeedsWindowsMessage(ShownName(found.found.empty() ? file : L"D:\\" + found.found)),
                          kNeedsWindowsTitle);
      break;
    case LaunchPlan::Nothing:
      break;
  }
}

namespace {

GdkRectangle PrimaryScreen() {
  GdkRectangle area{0, 0, 1024, 768};
  GdkDisplay* display = gdk_display_get_default();
  GListModel* monitors = display ? gdk_display_get_monitors(display) : nullptr;
  if (monitors && g_list_model_get_n_items(monitors) > 0) {
    auto* monitor = static_cast<GdkMonitor*>(g_list_model_get_item(monitors, 0));
    gdk_monitor_get_geometry(monitor, &area);
    g_object_unref(monitor);
  }
  return area;
}

constexpr float kTwipsPerPixel = 15;

}  // namespace

namespace {

void CentreOnScreen(GdkSurface*, int width, int height, gpointer box) {
  GdkRectangle screen = PrimaryScreen();
  PlaceOnX11(static_cast<GtkWidget*>(box), screen.x + (screen.width - width) / 2,
             screen.y + (screen.height - height) / 2);
}

}  // namespace

void GtkPlatform::ShowCriticalMessage(const Text& text, const Text& title) {
  GtkForm& menu = forms_[static_cast<int>(Win::Menu)];
  GtkWindow* owner = menu.window && gtk_widget_get_visible(menu.window) ? GTK_WINDOW(menu.window) : nullptr;
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  GtkWidget* dialog = gtk_message_dialog_new(owner, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_OK, "%s",
                                             ToUtf8(text).c_str());
  G_GNUC_END_IGNORE_DEPRECATIONS
  gtk_window_set_title(GTK_WINDOW(dialog), ToUtf8(title).c_str());
  bool answered = false;
  g_signal_connect(dialog, "response",
                   G_CALLBACK(+[](GtkWidget*, int, gpointer done) { *static_cast<bool*>(done) = true; }),
                   &answered);
  // The menu takes no input while the box is up: it is for the box to answer first.
  gateSystem_.messageUp = true;
  if (owner) gtk_widget_set_sensitive(menu.window, FALSE);
  AnnounceAvailability(false);
  // In the middle of the screen, as Windows puts a message box; on X the program places it, once its
  // surface knows its size.
  g_signal_connect(dialog, "realize", G_CALLBACK(+[](GtkWidget* box, gpointer) {
                     g_signal_connect(gtk_native_get_surface(GTK_NATIVE(box)), "layout",
                                      G_CALLBACK(CentreOnScreen), box);
                   }),
                   nullptr);
  gtk_window_present(GTK_WINDOW(dialog));
  while (!answered)
    g_main_context_iteration(nullptr, TRUE);
  gtk_window_destroy(GTK_WINDOW(dialog));
  if (owner) gtk_widget_set_sensitive(menu.window, TRUE);
  AnnounceAvailability(true);
  gateSystem_.messageUp = false;
  if (owner) gtk_window_present(owner);
}

float GtkPlatform::ScreenWidth() {
  return static_cast<float>(PrimaryScreen().width) * kTwipsPerPixel;
}

float GtkPlatform::ScreenHeight() {
  return static_cast<float>(PrimaryScreen().height) * kTwipsPerPixel;
}

void GtkPlatform::EndProgram() {
  // At once, as the program ends on Windows: what it started runs on.
  _exit(0);
}

wchar_t GtkPlatform::DecimalSeparator() {
  Text separator = FromUtf8(nl_langinfo(RADIXCHAR));
  return separator.empty() ? L'.' : separator[0];
}

wchar_t GtkPlatform::UpperCase(wchar_t c) {
  return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
}

std::string ProgramFolderOnHost(const char* argv0) {
  char self[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string path = length > 0 ? std::string(self, static_cast<std::size_t>(length)) : std::string();
  std::string base = path.substr(path.rfind('/') + 1);
  // Started by the dynamic loader, the process is the loader's; the program is its first argument, which
  // the loader makes argv[0].
  if (path.empty() || base.compare(0, 3, "ld-") == 0 || base.compare(0, 3, "ld.") == 0) {
    char* real = argv0 ? realpath(argv0, nullptr) : nullptr;
    path = real ? real : ".";
    free(real);
  }
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

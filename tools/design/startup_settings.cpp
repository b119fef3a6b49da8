#include "tools/design/startup_settings.h"

#include "startup/kavo.h"

StartupSettings ReadStartupSettings(const std::array<Text, kKavoLineCount>& lines) {
  const Text& flags = lines[static_cast<std::size_t>(KavoLine::Flags)];
  StartupSettings settings;
  settings.splash = IsOn(Mid(flags, 1, 1));
  settings.launch = IsOn(Mid(flags, 2, 1));
  settings.menu = IsOn(flags.empty() ? Text() : flags.substr(flags.size() - 1));
  settings.splashPicture = lines[static_cast<std::size_t>(KavoLine::SplashPicture)];
  settings.launchCommand = lines[static_cast<std::size_t>(KavoLine::LaunchCommand)];
  settings.menuPicture = lines[static_cast<std::size_t>(KavoLine::MenuPicture)];
  settings.backgroundSound = lines[static_cast<std::size_t>(KavoLine::BackgroundSound)];
  settings.mouseOverSound = lines[static_cast<std::size_t>(KavoLine::MouseOverSound)];
  return settings;
}

std::vector<std::pair<KavoLine, Text>> ChangedStartupLines(const StartupSettings& before,
                                                           const StartupSettings& after) {
  std::vector<std::pair<KavoLine, Text>> changed;
  if (before.splash != after.splash || before.launch != after.launch || before.menu != after.menu)
    changed.push_back({KavoLine::Flags, Text{after.splash ? L'1' : L'0', after.launch ? L'1' : L'0',
                                             after.menu ? L'1' : L'0'}});
  const std::pair<KavoLine, Text StartupSettings::*> names[] = {
      {KavoLine::SplashPicture, &StartupSettings::splashPicture},
      {KavoLine::LaunchCommand, &StartupSettings::launchCommand},
      {KavoLine::MenuPicture, &StartupSettings::menuPicture},
      {KavoLine::BackgroundSound, &StartupSettings::backgroundSound},
      {KavoLine::MouseOverSound, &StartupSettings::mouseOverSound},
  };
  for (const auto& name : names)
    if (before.*name.second != after.*name.second) changed.push_back({name.first, after.*name.second});
  return changed;
}

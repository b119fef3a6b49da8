// A sound channel as a GStreamer playbin of its own, playing to the desktop's audio output.
#pragma once

#include <memory>
#include <string>

#include "platform/gtk/sound_commands.h"

// Nothing when GStreamer has no playbin.
std::unique_ptr<SoundPlayer> OpenGstSound(const std::string& file);

#include "platform/gtk/gst_sound.h"

#include <gst/gst.h>

#include <fstream>

#include "platform/gtk/launch_plan.h"

// What the channels do, in GStreamer's own debug log ("GST_DEBUG=velmaro-sound:4").
GST_DEBUG_CATEGORY_STATIC(velmaroSound);
#define GST_CAT_DEFAULT velmaroSound

namespace {

class GstSound final : public SoundPlayer {
 public:
  GstSound(GstElement* playbin, std::string uri) : playbin_(playbin), uri_(std::move(uri)) {
    GST_INFO("open %s", uri_.c_str());
    gst_element_set_state(playbin_, GST_STATE_PAUSED);
  }
  ~GstSound() override {
    GST_INFO("close %s", uri_.c_str());
    gst_element_set_state(playbin_, GST_STATE_NULL);
    gst_object_unref(playbin_);
  }
  GstSound(const GstSound&) = delete;
  GstSound& operator=(const GstSound&) = delete;

  void Rewind() override {
    // Through READY the stream starts again from its first sample, whether it had prerolled or not.
    gst_element_set_state(playbin_, GST_STATE_READY);
    gst_element_set_state(playbin_, GST_STATE_PAUSED);
  }
  void Play() override {
    GST_INFO("play %s", uri_.c_str());
    gst_element_set_state(playbin_, GST_STATE_PLAYING);
  }
  void Stop() override { gst_element_set_state(playbin_, GST_STATE_PAUSED); }

 private:
  GstElement* playbin_;
  std::string uri_;
};

}  // namespace

std::unique_ptr<SoundPlayer> OpenGstSound(const std::string& file) {
  // At the first sound, not at start: a disc without sounds does not wait for GStreamer's registry.
  static bool registered = [] {
    gst_init(nullptr, nullptr);
    GST_DEBUG_CATEGORY_INIT(velmaroSound, "velmaro-sound", 0, "the program's sound channels");
    return true;
  }();
  (void)registered;
  std::ifstream in(file, std::ios::binary);
  std::string head(12, '\0');
  in.read(&head[0], static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  if (!IsWaveHead(head)) return nullptr;
  GstElement* playbin = gst_element_factory_make("playbin", nullptr);
  if (!playbin) return nullptr;
  std::string uri = FileUri(file);
  // Sound only: a file with pictures in it must not open a video window.
  const unsigned kAudioOnly = 1u << 1;
  g_object_set(playbin, "uri", uri.c_str(), "flags", kAudioOnly, nullptr);
  return std::unique_ptr<SoundPlayer>(new GstSound(playbin, uri));
}

#include "music/saver_music_gstreamer.h"

#include <gst/gst.h>

namespace lw::music {
namespace {

constexpr guint kPlayAudioOnly = 0x2;  // GST_PLAY_FLAG_AUDIO: no video window for cover art

// Runs on a streaming thread; setting the same address again is playbin's gapless loop.
void QueueAgain(GstElement* playbin, gpointer uri) { g_object_set(playbin, "uri", static_cast<const char*>(uri), nullptr); }

}  // namespace

void GStreamerMusic::Play() {
  if (playbin_ || path_.empty() || !gst_init_check(nullptr, nullptr, nullptr)) return;
  gchar* uri = gst_filename_to_uri(path_.c_str(), nullptr);
  if (!uri) return;
  uri_ = uri;
  g_free(uri);
  playbin_ = gst_element_factory_make("playbin", nullptr);
  if (!playbin_) return;
  gst_object_ref_sink(playbin_);
  g_object_set(playbin_, "uri", uri_.c_str(), "flags", kPlayAudioOnly, nullptr);
  g_signal_connect(playbin_, "about-to-finish", G_CALLBACK(QueueAgain), const_cast<char*>(uri_.c_str()));
  // Nobody reads the bus: with flushing on, its messages are dropped instead of piling up.
  GstBus* bus = gst_element_get_bus(playbin_);
  gst_bus_set_flushing(bus, TRUE);
  gst_object_unref(bus);
  gst_element_set_state(playbin_, GST_STATE_PLAYING);
}

void GStreamerMusic::Stop() {
  if (!playbin_) return;
  gst_element_set_state(playbin_, GST_STATE_NULL);
  gst_object_unref(playbin_);
  playbin_ = nullptr;
}

}  // namespace lw::music

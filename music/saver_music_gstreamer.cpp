#include "music/saver_music_gstreamer.h"

#include <gst/gst.h>

#include <atomic>
#include <cstdio>
#include <memory>

namespace lw::music {
namespace {

constexpr guint kPlayAudioOnly = 0x2;       // GST_PLAY_FLAG_AUDIO: no video window for cover art
constexpr gint64 kShortestRoundUs = 1'000'000;  // a file shorter than this still loops, a round a second

// What the bus handler and the calls it hands on share. The hack has no GLib main loop, so nobody
// pops the bus: its sync handler sees every message on the thread that posts it and drops it, and
// anything that changes the pipeline runs on GStreamer's own pool (gst_element_call_async), as a
// streaming thread must not seek or stop the pipeline it is streaming for.
struct Loop {
  Loop(std::string p, GstElement* e) : path(std::move(p)), playbin(GST_ELEMENT(gst_object_ref(e))) {}
  ~Loop() { gst_object_unref(playbin); }
  Loop(const Loop&) = delete;
  Loop& operator=(const Loop&) = delete;

  const std::string path;
  GstElement* const playbin;
  std::atomic<bool> givenUp{false};
  std::atomic<gint64> roundStarted{0};  // g_get_monotonic_time() when the current round began
};
using LoopRef = std::shared_ptr<Loop>;

gpointer Share(const LoopRef& loop) { return new LoopRef(loop); }
void Unshare(gpointer data) { delete static_cast<LoopRef*>(data); }
Loop& From(gpointer data) { return **static_cast<LoopRef*>(data); }

// Once per file, from whichever thread finds out first: say why, then stop for good.
void GiveUp(Loop& loop, const std::string& reason) {
  if (loop.givenUp.exchange(true)) return;
  std::fprintf(stderr, "lumenweave: cannot play %s: %s\n", loop.path.c_str(), reason.c_str());
  gst_element_call_async(loop.playbin, [](GstElement* e, gpointer) { gst_element_set_state(e, GST_STATE_NULL); },
                         nullptr, nullptr);
}

// At the end of a round: a file that played loops from its start; one whose round reached no
// position at all (a header without frames, say) holds no sound and is not tried again. A round
// may not begin sooner than a second after the last, so a file of a few frames cannot spin.
void PlayAgain(GstElement* playbin, gpointer data) {
  Loop& loop = From(data);
  if (loop.givenUp) return;
  gint64 position = 0;
  if (!gst_element_query_position(playbin, GST_FORMAT_TIME, &position) || position <= 0)
    return GiveUp(loop, "it holds no sound");
  const gint64 early = loop.roundStarted + kShortestRoundUs - g_get_monotonic_time();
  if (early > 0) g_usleep(static_cast<gulong>(early));
  loop.roundStarted = g_get_monotonic_time();
  gst_element_seek_simple(playbin, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH, 0);
}

GstBusSyncReply OnMessage(GstBus*, GstMessage* message, gpointer data) {
  Loop& loop = From(data);
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR: {
      GError* error = nullptr;
      gst_message_parse_error(message, &error, nullptr);
      std::string reason = error && error->message ? error->message : "unknown error";
      if (!reason.empty() && reason.back() == '.') reason.pop_back();
      g_clear_error(&error);
      GiveUp(loop, reason);
      break;
    }
    case GST_MESSAGE_EOS:
      if (!loop.givenUp) gst_element_call_async(loop.playbin, PlayAgain, Share(*static_cast<LoopRef*>(data)), Unshare);
      break;
    default:
      break;
  }
  return GST_BUS_DROP;  // nothing queues up on the bus
}

}  // namespace

void GStreamerMusic::Play() {
  if (playbin_ || path_.empty() || !gst_init_check(nullptr, nullptr, nullptr)) return;
  gchar* uri = gst_filename_to_uri(path_.c_str(), nullptr);
  if (!uri) return;
  playbin_ = gst_element_factory_make("playbin", nullptr);
  if (playbin_) {
    gst_object_ref_sink(playbin_);
    g_object_set(playbin_, "uri", uri, "flags", kPlayAudioOnly, nullptr);
    const auto loop = std::make_shared<Loop>(path_, playbin_);
    loop->roundStarted = g_get_monotonic_time();
    GstBus* bus = gst_element_get_bus(playbin_);
    gst_bus_set_sync_handler(bus, OnMessage, Share(loop), Unshare);
    gst_object_unref(bus);
    gst_element_set_state(playbin_, GST_STATE_PLAYING);
  }
  g_free(uri);
}

void GStreamerMusic::Stop() {
  if (!playbin_) return;
  gst_element_set_state(playbin_, GST_STATE_NULL);
  // Drops the handler's share of the loop, and with it the loop's reference to the pipeline.
  GstBus* bus = gst_element_get_bus(playbin_);
  gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
  gst_object_unref(bus);
  gst_object_unref(playbin_);
  playbin_ = nullptr;
}

}  // namespace lw::music

#pragma once
// The output service: the one place where the host writes, both frames to the
// browser and lines of the optional log file. One process-wide instance,
// reached through `msgWriter()`, which hands out a shared reference for the
// duration of a write.
//
// Thread-safety: add-ins raise events on their own threads, so every operation
// locks. `hold()` keeps the lock across several frames, so the chunks of one
// message stay consecutive; the lock is recursive for that reason.

#include <cstdint>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>

#include "platform/stdio_channel.h"

namespace marrowel {

class MsgWriter {
 public:
  explicit MsgWriter(std::unique_ptr<platform::OutputSink> channel);

  // Opens (and empties) the log file at `path`; on failure the log stays closed.
  void openLog(const std::string& path);

  // Appends `text` and a LF to the log when it is open, and flushes.
  void logLine(const std::string& text);

  // Logs `text`, then writes it as one frame (4-byte little-endian length,
  // then the bytes) and flushes. Write failures are not reported.
  void writeFrame(const std::string& text);

  // Keeps other threads' frames out until the returned lock is released.
  std::unique_lock<std::recursive_mutex> hold();

 private:
  std::recursive_mutex mutex_;
  std::ofstream logStream_;
  std::unique_ptr<platform::OutputSink> channel_;
};

// The process-wide output service, or null when none is installed.
std::shared_ptr<MsgWriter> msgWriter();

// Installs (or, with null, removes) the process-wide output service.
void setMsgWriter(std::shared_ptr<MsgWriter> writer);

}  // namespace marrowel

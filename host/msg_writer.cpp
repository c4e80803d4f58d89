#include "host/msg_writer.h"

#include <atomic>

namespace marrowel {

MsgWriter::MsgWriter(std::unique_ptr<platform::OutputSink> channel)
    : channel_(std::move(channel)) {}

void MsgWriter::openLog(const std::string& path) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (logStream_.is_open()) logStream_.close();
  logStream_.clear();
  logStream_.open(path, std::ios::out | std::ios::binary | std::ios::trunc);
}

void MsgWriter::logLine(const std::string& text) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!logStream_.is_open()) return;
  logStream_.write(text.data(), static_cast<std::streamsize>(text.size()));
  logStream_.put('\n');
  logStream_.flush();
}

void MsgWriter::writeFrame(const std::string& text) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  logLine(text);
  const auto length = static_cast<std::uint32_t>(text.size());
  const char prefix[4] = {static_cast<char>(length & 0xFF), static_cast<char>((length >> 8) & 0xFF),
                          static_cast<char>((length >> 16) & 0xFF),
                          static_cast<char>((length >> 24) & 0xFF)};
  channel_->write(prefix, sizeof prefix);
  channel_->write(text.data(), text.size());
  channel_->flush();
}

std::unique_lock<std::recursive_mutex> MsgWriter::hold() {
  return std::unique_lock<std::recursive_mutex>(mutex_);
}

namespace {
std::shared_ptr<MsgWriter>& writerSlot() {
  static std::shared_ptr<MsgWriter> slot;
  return slot;
}
}  // namespace

std::shared_ptr<MsgWriter> msgWriter() { return std::atomic_load(&writerSlot()); }

void setMsgWriter(std::shared_ptr<MsgWriter> writer) {
  std::atomic_store(&writerSlot(), std::move(writer));
}

}  // namespace marrowel

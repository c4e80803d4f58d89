#pragma once
// The message channel to the browser: the process's standard input, and a
// private duplicate of its standard output. Taking the output over leaves the
// process with no usable standard output or error, so nothing a loaded library
// prints can corrupt the frames. Both streams are binary (no byte translated).
//
// The sink and source are used by one writer and one reader respectively; the
// output service serialises access to the sink.

#include <cstddef>
#include <memory>

namespace marrowel::platform {

class OutputSink {
 public:
  virtual ~OutputSink() = default;
  // Writes all bytes; failures are not reported (the reader sees the end).
  virtual void write(const char* data, std::size_t size) = 0;
  virtual void flush() = 0;
};

class InputSource {
 public:
  virtual ~InputSource() = default;
  // Reads up to `size` bytes; answers 0 only at end of input.
  virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

// Switches standard output and standard input to binary mode.
void setBinaryStdio();

// Duplicates standard output into a binary, append-mode channel, then closes
// the process's standard output and error (on POSIX their descriptors are
// pointed at the null device so no later open reuses them).
std::unique_ptr<OutputSink> takeOverStandardOutput();

// Standard input, binary.
std::unique_ptr<InputSource> standardInput();

}  // namespace marrowel::platform

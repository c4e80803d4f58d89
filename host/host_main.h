#pragma once
// The host's entry point and main loop. The loop reads one frame, handles it
// to its end (every reply is written before the next frame is read) and goes
// on until end of input or an exit message.

#include "platform/stdio_channel.h"

namespace marrowel {

// Reads and handles frames from `input` until it ends or an exit message
// arrives. Needs the output service installed.
void runMessageLoop(platform::InputSource& input);

// The process's main: argument check, COM, the channel and the log, the loop,
// then teardown (every object ends while the output service still exists).
// Answers the exit status.
int runHost(int argc);

}  // namespace marrowel

#pragma once
// Base64 (RFC 4648 alphabet, "=" padding) as binary values travel inside JSON
// strings. The encoder breaks lines the way the browser side expects (64
// characters, CR LF, produced through a 1024-character staging area); the
// decoder skips CR and LF and stops at the first character it cannot use.
// Stateless; any thread.

#include <string>

namespace marrowel {

std::string base64Encode(const unsigned char* data, int length);

// The decoded bytes. Malformed input yields fewer bytes or none, never an error.
std::string base64Decode(const unsigned char* text, int length);

}  // namespace marrowel

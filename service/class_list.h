#pragma once
// Where the add-in library lies and how its class list reads. Pure functions.

#include <vector>

#include "values/text_encoding.h"

namespace marrowel {

// The directory part of `modulePath` (up to and including the last slash or
// backslash) followed by `fileName`.
WideString pathBeside(const WideString& modulePath, const WideString& fileName);

// Splits at every vertical bar, keeping empty pieces: "" gives one empty
// piece, "A|" gives "A" and "".
std::vector<WideString> splitClassList(const WideString& list);

}  // namespace marrowel

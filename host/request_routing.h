#pragma once
// Routes the browser's object messages: creating service objects, handing a
// request to the object it is addressed to, releasing objects. Main thread.

#include <cstdint>

#include <json/value.h>

namespace marrowel {

// Handles a message of type 2, 4, 6, 8 or 10. Conversion failures of envelope
// members propagate as the JSON library's exceptions.
void routeRequest(Json::Value& message, std::int32_t type);

// Makes the service object that every start message brings.
void makeStartService();

}  // namespace marrowel

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "host/object_registry.h"
#include "host/wire_text.h"
#include "memory_channel.h"
#include "service/add_in_service.h"

namespace marrowel {
namespace {

TEST(HostCall, QueryIdIsTheObjectsQueryIdPlusItsCallCount) {
  testing::MemoryChannel channel;
  AddInServiceEx* service = makeScriptable<AddInServiceEx>();
  Json::Value request;
  parseMessageText(R"({"type":2,"method":"init","params":[],"query_id":41})", request);
  service->dispatch(request);

  Json::Value params(Json::arrayValue);
  params.append("Lib.Class");
  Json::Value unused;
  service->sendMessage("registerClassName", params, unused, 15);
  // A reply in between does not count as a host call.
  parseMessageText(R"({"type":2,"method":"init","params":[],"query_id":41})", request);
  service->dispatch(request);
  service->sendMessage("registerClassName", params, unused, 15);

  const std::vector<std::string> frames = channel.frames();
  ASSERT_EQ(frames.size(), 4u);
  const std::string id = std::to_string(service->clsId);
  EXPECT_EQ(frames[1], R"({"cls_id":)" + id +
                           R"(,"method":"registerClassName","params":["Lib.Class"],"query_id":42,"type":15})");
  EXPECT_EQ(frames[3], R"({"cls_id":)" + id +
                           R"(,"method":"registerClassName","params":["Lib.Class"],"query_id":43,"type":15})");
  objectRegistry().eraseObject(service->clsId);
}

TEST(HostCall, FramesFromManyThreadsStayWhole) {
  testing::MemoryChannel channel;
  AddInServiceEx* service = makeScriptable<AddInServiceEx>();
  constexpr int THREADS = 4;
  constexpr int CALLS = 50;
  std::vector<std::thread> threads;
  for (int t = 0; t < THREADS; ++t) {
    threads.emplace_back([service, t] {
      Json::Value params(Json::arrayValue);
      params.append(std::string(t == 0 ? 1500000 : 1000, char('a' + t)));
      Json::Value unused;
      for (int i = 0; i < CALLS; ++i) service->sendMessage("externalEvent", params, unused, 15);
    });
  }
  for (std::thread& thread : threads) thread.join();

  // Every frame parses, and a chunked message's chunks are consecutive.
  std::set<std::uint32_t> queryIds;
  std::uint32_t expectNum = 1;
  for (const std::string& text : channel.frames()) {
    Json::Value message;
    parseMessageText(text, message);
    ASSERT_TRUE(message.isObject()) << text.substr(0, 80);
    if (message["type"].asInt() == 17) {
      ASSERT_EQ(message["num"].asUInt(), expectNum);
      expectNum = expectNum == message["count"].asUInt() ? 1 : expectNum + 1;
    } else {
      ASSERT_EQ(expectNum, 1u) << "a frame landed inside a chunked message";
      queryIds.insert(message["query_id"].asUInt());
    }
  }
  EXPECT_EQ(service->hostCallCount.load(), std::uint32_t(THREADS * CALLS));
  EXPECT_EQ(queryIds.size(), std::size_t((THREADS - 1) * CALLS));
  objectRegistry().eraseObject(service->clsId);
}

}  // namespace
}  // namespace marrowel

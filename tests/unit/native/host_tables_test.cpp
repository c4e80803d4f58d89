// The host interfaces as an add-in reaches them: through the part pointers and
// their tables, never through AdapterNative's C++ members.

#include "native/host_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "native/adapter_native.h"
#include "values/native_variant.h"

namespace marrowel {
namespace {

struct DestroyAdapter {
  void operator()(AdapterNative* adapter) const { adapter->destroyAdapter(); }
};
using AdapterPtr = std::unique_ptr<AdapterNative, DestroyAdapter>;

// What an add-in does with interfaceOf's answer: step back one pointer.
template <class Part>
Part* partBehind(void* base) {
  return reinterpret_cast<Part*>(static_cast<char*>(base) - sizeof(void*));
}

class HostTables : public ::testing::Test {
 protected:
  AdapterPtr adapter{new AdapterNative};
  abi::IAddInDefBaseEx* host = adapter->hostConnection();
  abi::IMemoryManager* memory = adapter->memoryManager();
};

TEST_F(HostTables, InterfaceOfAnswersEachPartOnePointerIn) {
  void* msgBox = host->table->interfaceOf(host, abi::INTERFACE_MSG_BOX);
  void* platformInfo = host->table->interfaceOf(host, abi::INTERFACE_PLATFORM_INFO);
  ASSERT_NE(msgBox, nullptr);
  ASSERT_NE(platformInfo, nullptr);
  EXPECT_NE(msgBox, platformInfo);
  EXPECT_EQ(host->table->interfaceOf(host, abi::INTERFACE_MSG_BOX), msgBox);
  EXPECT_EQ(host->table->interfaceOf(host, abi::INTERFACE_PLATFORM_INFO), platformInfo);
  for (std::int32_t kind : {2, -1, 100}) {
    EXPECT_EQ(host->table->interfaceOf(host, kind), nullptr) << kind;
  }

  // The parts behind those positions answer through their own tables (here
  // without a site, so with their failure values).
  auto* box = partBehind<abi::IMsgBoxN>(msgBox);
  EXPECT_FALSE(box->table->showMessage(box, u"hello"));
  auto* info = partBehind<abi::IPlatformInfoN>(platformInfo);
  EXPECT_EQ(info->table->platformInfo(info), nullptr);
}

TEST_F(HostTables, AllocateBlockFillsTargetFromTheHostHeap) {
  EXPECT_FALSE(memory->table->allocateBlock(memory, nullptr, 16));

  void* first = nullptr;
  void* second = nullptr;
  ASSERT_TRUE(memory->table->allocateBlock(memory, &first, 0));
  ASSERT_TRUE(memory->table->allocateBlock(memory, &second, 0));
  EXPECT_NE(first, nullptr);
  EXPECT_NE(first, second);

  void* kept = first;
  memory->table->freeBlock(memory, &first);
  EXPECT_EQ(first, kept);
  memory->table->freeBlock(memory, &second);
}

TEST_F(HostTables, BlockFromTheMemoryManagerIsReleasedWithTheValue) {
  const char16_t text[] = u"from the add-in";
  void* block = nullptr;
  ASSERT_TRUE(memory->table->allocateBlock(memory, &block, sizeof text));
  std::memcpy(block, text, sizeof text);

  NativeVariant value;
  value.vt = TYPE_WIDE_TEXT;
  value.wstr = static_cast<char16_t*>(block);
  value.wstrLen = static_cast<std::uint32_t>(std::char_traits<char16_t>::length(text));
  Json::Value json;
  ASSERT_TRUE(nativeVariantToJson(value, json));
  EXPECT_EQ(json.asString(), "from the add-in");
  // Under the sanitizers a heap mismatch or a leak fails here.
  releaseNativeVariant(value);
}

TEST_F(HostTables, WithoutSiteEveryServiceAnswersItsFailureValue) {
  EXPECT_FALSE(host->table->AddError(host, 1, u"source", u"description", 0));
  EXPECT_FALSE(host->table->RegisterProfileAs(host, u"profile"));
  EXPECT_FALSE(host->table->SetEventBufferDepth(host, 5));
  EXPECT_EQ(host->table->GetEventBufferDepth(host), 0);
  EXPECT_FALSE(host->table->ExternalEvent(host, u"source", u"message", u"data"));
  EXPECT_FALSE(host->table->SetStatusLine(host, u"status"));
  host->table->CleanEventBuffer(host);
  host->table->ResetStatusLine(host);

  NativeVariant value;
  value.vt = TYPE_INT32;
  value.intValue = 12345;
  EXPECT_FALSE(host->table->Write(host, u"name", &value));

  // Read clears the error code even so, and leaves the value alone.
  std::int32_t error = -1;
  EXPECT_FALSE(host->table->Read(host, u"name", &value, &error, nullptr));
  EXPECT_EQ(error, 0);
  EXPECT_EQ(value.vt, TYPE_INT32);
  EXPECT_EQ(value.intValue, 12345);

  auto* box = partBehind<abi::IMsgBoxN>(host->table->interfaceOf(host, abi::INTERFACE_MSG_BOX));
  EXPECT_FALSE(box->table->askYesNo(box, u"question", &value));
  EXPECT_EQ(value.vt, TYPE_INT32);
}

}  // namespace
}  // namespace marrowel

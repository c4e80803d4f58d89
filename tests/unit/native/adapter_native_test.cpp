// AdapterNative driving the real sample add-in and its fixture variants,
// loaded through the platform layer from the build folder.

#include "native/adapter_native.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "host/wire_text.h"
#include "json_text.h"
#include "platform/environment.h"
#include "platform/module_path.h"
#include "scriptable/lib_exception.h"

namespace marrowel {
namespace {

struct DestroyAdapter {
  void operator()(AdapterNative* adapter) const { adapter->destroyAdapter(); }
};
using AdapterPtr = std::unique_ptr<AdapterNative, DestroyAdapter>;

// The libraries lie MARROWEL_LIBRARIES_FROM_TESTS away from this program,
// named like the sample library on this OS.
WideString libraryPath(const std::string& name) {
  const WideString self = platform::hostModulePath();
  const std::size_t cut = self.find_last_of(u"/\\");
  if (cut == WideString::npos) return toUtf16(name);
  const char16_t separator = self[cut];
  WideString path = self.substr(0, cut + 1);
  for (char c : std::string(MARROWEL_LIBRARIES_FROM_TESTS)) {
    path += c == '/' ? separator : static_cast<char16_t>(c);
  }
  if (path.back() != separator) path += separator;
  const std::string sample = platform::addInLibraryName();
  return path + toUtf16(name + sample.substr(sample.find('.')));
}

using testing::parseJson;

// The text of the lib_exception `operation` raised, or nothing.
template <class Operation>
std::optional<std::string> failureOf(Operation&& operation) {
  try {
    operation();
  } catch (const lib_exception& failure) {
    return std::string(failure.what());
  }
  return std::nullopt;
}

constexpr const char* NO_OBJECT = "Add-in object is not available";

class AdapterNativeTest : public ::testing::Test {
 protected:
  void create(const std::string& library, const WideString& className = u"Sample") {
    adapter->createObject(className, libraryPath(library));
  }

  // Calls `method` with arguments given as JSON text; answers the result.
  Json::Value call(const WideString& method, const std::string& arguments = "[]") {
    Json::Value args = parseJson(arguments);
    Json::Value result;
    adapter->callMethod(method, args, result);
    return result;
  }

  AdapterPtr adapter{new AdapterNative};
};

TEST_F(AdapterNativeTest, CreationFollowsWhatTheLibraryOffers) {
  struct Case {
    const char* library;
    WideString className;
    bool refused;          // createObject raised with an empty text
    bool created;          // hasObject afterwards
    const char* attached;  // the interfaces the object received, in order
  };
  const Case cases[] = {
      {"QuillboxAddIn", u"Sample", false, true, "host,memory"},
      {"FixtureNoCaps", u"Sample", false, true, "host,memory"},
      {"FixtureCapsRefused", u"Sample", false, true, "memory"},
      {"FixtureAttachFails", u"Sample", true, true, nullptr},
      {"FixtureMemoryAttachFails", u"Sample", true, true, nullptr},
      {"FixtureNoObject", u"Sample", false, false, nullptr},
      {"FixtureNoGetClassObject", u"Sample", false, false, nullptr},
      {"QuillboxAddIn", u"NoSuchClass", false, false, nullptr},
      {"NoSuchLibrary", u"Sample", false, false, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.library) + " " + toUtf8(c.className));
    // Each adapter ends its object when it goes, refused ones included.
    adapter.reset(new AdapterNative);
    const auto failure = failureOf([&] { create(c.library, c.className); });
    EXPECT_EQ(failure, c.refused ? std::optional<std::string>("") : std::nullopt);
    EXPECT_EQ(adapter->hasObject(), c.created);
    if (c.attached != nullptr) {
      EXPECT_EQ(call(u"AttachLog").asString(), c.attached);
    }
  }
}

TEST_F(AdapterNativeTest, EmptyLibraryPathCreatesNothingButKeepsTheClassName) {
  adapter->createObject(u"Events", u"");
  EXPECT_FALSE(adapter->hasObject());
  adapter->createObject(u"", libraryPath("QuillboxAddIn"));
  ASSERT_TRUE(adapter->hasObject());
  EXPECT_EQ(adapter->getVersion(), 1500);
}

TEST_F(AdapterNativeTest, ReportsVersionAndExtensionNameAndTakesTheLocale) {
  create("QuillboxAddIn", u"Events");
  EXPECT_EQ(adapter->getVersion(), 1500);
  WideString name = u"before";
  adapter->getExtensionName(name);
  EXPECT_EQ(name, u"Events");
  adapter->applyLocale(u"de_DE");
  Json::Value locale;
  adapter->getProperty(u"Locale", locale);
  EXPECT_EQ(locale.asString(), "de_DE");
}

TEST_F(AdapterNativeTest, WithoutObjectNothingReachesTheAddIn) {
  // A fresh adapter, and one whose library made no object.
  for (const char* library : {"", "FixtureNoObject"}) {
    SCOPED_TRACE(library);
    adapter.reset(new AdapterNative);
    if (*library != 0) create(library);
    ASSERT_FALSE(adapter->hasObject());

    adapter->applyLocale(u"de_DE");
    EXPECT_EQ(adapter->getVersion(), -1);
    WideString name = u"kept";
    adapter->getExtensionName(name);
    EXPECT_EQ(name, u"kept");

    Json::Value value("kept");
    Json::Value args = parseJson("[1]");
    EXPECT_EQ(failureOf([&] { adapter->getProperty(u"Text", value); }), NO_OBJECT);
    EXPECT_EQ(failureOf([&] { adapter->setProperty(u"Text", value); }), NO_OBJECT);
    EXPECT_EQ(failureOf([&] { adapter->callMethod(u"Echo", args, value); }), NO_OBJECT);
    EXPECT_EQ(toWireText(value), "\"kept\"");
    EXPECT_EQ(toWireText(args), "[1]");
    adapter->shutdownObject();
  }
}

TEST_F(AdapterNativeTest, PropertiesOfEveryAccess) {
  create("QuillboxAddIn");
  struct Case {
    WideString name;
    std::string written;
    const char* writeFailure;
    std::string read;  // after the write
    const char* readFailure;
  };
  const Case cases[] = {
      {u"Text", "\"hello\"", nullptr, "\"hello\"", nullptr},
      {u"Int32", "-7", nullptr, "-7", nullptr},
      {u"ReadOnly", "\"ignored\"", nullptr, "\"fixed\"", nullptr},
      {u"WriteOnly", "42", nullptr, "{}", nullptr},
      {u"Hidden", "42", nullptr, "{}", nullptr},
      {u"Failing", "1", "Property error", "", "Property error"},
      {u"NoSuchProperty", "1", "Property not found", "", "Property not found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.name));
    const auto writeFailure = failureOf([&] { adapter->setProperty(c.name, parseJson(c.written)); });
    EXPECT_EQ(writeFailure,
              c.writeFailure ? std::optional<std::string>(c.writeFailure) : std::nullopt);
    Json::Value value;
    const auto readFailure = failureOf([&] { adapter->getProperty(c.name, value); });
    EXPECT_EQ(readFailure,
              c.readFailure ? std::optional<std::string>(c.readFailure) : std::nullopt);
    if (!c.readFailure) {
      EXPECT_EQ(toWireText(value), c.read);
    }
  }
  // The write-only value did arrive.
  EXPECT_EQ(call(u"PeekWriteOnly").asInt(), 42);
}

TEST_F(AdapterNativeTest, SetPropertyConvertsTheValueBeforeLookingUpTheName) {
  create("QuillboxAddIn");
  const Json::Value tooSmall(Json::Int64(-2147483649LL));
  EXPECT_THROW(adapter->setProperty(u"NoSuchProperty", tooSmall), Json::LogicError);
}

TEST_F(AdapterNativeTest, CallsRewriteTheirArguments) {
  create("QuillboxAddIn");
  struct Case {
    WideString method;
    std::string args;
    const char* failure;
    std::string argsAfter;
    std::string result;  // starts as "untouched"
  };
  const Case cases[] = {
      // Describe has 3 parameters; defaults 1 and "two" for the first two,
      // none (empty) for the third.
      {u"Describe", "[5]", nullptr, "[5]", "\"3:5|22:two|0:\""},
      {u"Describe", "[]", nullptr, "[]", "\"3:1|22:two|0:\""},
      {u"Describe", "null", nullptr, "[]", "\"3:1|22:two|0:\""},
      {u"Describe", "{}", nullptr, "[]", "\"3:1|22:two|0:\""},
      // An object with members is one argument, although it converts to nothing.
      {u"Describe", "{\"a\":1}", nullptr, "[{}]", "\"0:|22:two|0:\""},
      {u"Echo", "\"abc\"", nullptr, "[\"abc\"]", "\"abc\""},
      // Two parameters given three values: the third comes back as null.
      {u"Swap", "[1,2,3]", nullptr, "[2,1,null]", "\"untouched\""},
      {u"Bump", "[\"a\",1,true]", nullptr, "[\"a!\",2,false]", "\"untouched\""},
      // No parameters: whatever was sent stays as it was.
      {u"Increment", "[7,\"x\"]", nullptr, "[7,\"x\"]", "\"untouched\""},
      {u"Increment", "\"scalar\"", nullptr, "\"scalar\"", "\"untouched\""},
      {u"GetCounter", "null", nullptr, "null", "2"},
      // A failed call still hands back what it changed.
      {u"FailFunction", "[\"x\"]", "Failed calling method", "[\"changed\"]", "\"partial\""},
      {u"Fail", "[1]", "Failed calling method", "[1]", "\"untouched\""},
      {u"NoSuchMethod", "[1]", "Method not found", "[1]", "\"untouched\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.method) + " " + c.args);
    Json::Value args = parseJson(c.args);
    Json::Value result("untouched");
    const auto failure = failureOf([&] { adapter->callMethod(c.method, args, result); });
    EXPECT_EQ(failure, c.failure ? std::optional<std::string>(c.failure) : std::nullopt);
    EXPECT_EQ(toWireText(args), c.argsAfter);
    EXPECT_EQ(toWireText(result), c.result);
  }
}

TEST_F(AdapterNativeTest, ShutdownEndsTheObjectOnceAndLetsTheLibraryGo) {
  create("QuillboxAddIn");
  call(u"Increment");
  adapter->shutdownObject();
  EXPECT_FALSE(adapter->hasObject());
  adapter->shutdownObject();
  EXPECT_EQ(failureOf([&] { call(u"Increment"); }), NO_OBJECT);

  // The library was freed with the object: a new creation loads it again and
  // gets a new object.
  create("QuillboxAddIn");
  ASSERT_TRUE(adapter->hasObject());
  EXPECT_EQ(call(u"GetCounter").asInt(), 0);
}

TEST_F(AdapterNativeTest, WithoutDestroyObjectShutdownOnlyForgetsTheObject) {
  // This object deletes itself when told to shut down: any later call on it,
  // from a second shutdown or from the teardown, would touch freed memory.
  create("FixtureNoDestroy");
  ASSERT_TRUE(adapter->hasObject());
  adapter->shutdownObject();
  EXPECT_FALSE(adapter->hasObject());
  adapter->shutdownObject();
}

TEST_F(AdapterNativeTest, AddInReachesEveryHostPartWithoutASite) {
  create("QuillboxAddIn");
  struct Case {
    WideString method;
    std::string args;
    const char* failure;
    std::string result;
  };
  const Case cases[] = {
      {u"HasInterface", "[0]", nullptr, "true"},
      {u"HasInterface", "[1]", nullptr, "true"},
      {u"HasInterface", "[2]", nullptr, "false"},
      {u"GetDepth", "[]", nullptr, "0"},
      {u"RaiseEvent", "[\"source\",\"message\",\"data\"]", nullptr, "false"},
      {u"Tell", "[\"text\"]", nullptr, "false"},
      {u"Ask", "[\"question\"]", "Failed calling method", "{}"},
      {u"PlatformInfo", "[]", "Failed calling method", "{}"},
      // Read refuses, and the add-in keeps the value it put in.
      {u"ReadValue", "[\"name\"]", "Failed calling method", "12345"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.method) + " " + c.args);
    Json::Value args = parseJson(c.args);
    Json::Value result;
    const auto failure = failureOf([&] { adapter->callMethod(c.method, args, result); });
    EXPECT_EQ(failure, c.failure ? std::optional<std::string>(c.failure) : std::nullopt);
    EXPECT_EQ(toWireText(result), c.result);
  }
  // Read cleared the add-in's error code all the same.
  Json::Value error;
  adapter->getProperty(u"LastReadError", error);
  EXPECT_EQ(error.asInt(), 0);
}

}  // namespace
}  // namespace marrowel

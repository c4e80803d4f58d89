#include "sample_component.h"

#include <cmath>
#include <utility>

namespace sample {

using quillbox::NativeVariant;

namespace {

// Property indexes; PROPERTIES below lists them in this order.
enum Property : std::int32_t {
  P_TEXT,
  P_NARROW,
  P_INT32,
  P_INT,
  P_UINT32,
  P_UINT,
  P_FLOAT,
  P_DOUBLE,
  P_DATE,
  P_BOOL,
  P_BINARY,
  P_EMPTY,
  P_NULL,
  P_REFERENCE,
  P_VALUE,
  P_VALUE_TYPE,
  P_READ_ONLY,
  P_WRITE_ONLY,
  P_HIDDEN,
  P_FAILING,
  P_LOCALE,
  P_VERSION,
  P_CLASS_NAME,
  P_LAST_READ_ERROR,
  PROPERTY_COUNT
};

constexpr std::uint16_t NO_KIND = 0xFFFF;   // not a stored value of one kind
constexpr std::uint16_t ANY_KIND = 0xFFFE;  // stores whatever is written

struct PropertyInfo {
  const char16_t* name;
  std::uint16_t kind;
  bool readable;
  bool writable;
};

constexpr PropertyInfo PROPERTIES[] = {
    {u"Text", quillbox::TYPE_WIDE_TEXT, true, true},
    {u"Narrow", quillbox::TYPE_NARROW_TEXT, true, true},
    {u"Int32", quillbox::TYPE_INT32, true, true},
    {u"Int", quillbox::TYPE_INT, true, true},
    {u"UInt32", quillbox::TYPE_UINT32, true, true},
    {u"UInt", quillbox::TYPE_UINT, true, true},
    {u"Float", quillbox::TYPE_FLOAT, true, true},
    {u"Double", quillbox::TYPE_DOUBLE, true, true},
    {u"Date", quillbox::TYPE_DATE, true, true},
    {u"Bool", quillbox::TYPE_BOOL, true, true},
    {u"Binary", quillbox::TYPE_BINARY, true, true},
    {u"Empty", quillbox::TYPE_EMPTY, true, false},
    {u"Null", quillbox::TYPE_NULL, true, false},
    {u"Reference", quillbox::TYPE_REFERENCE, true, false},
    {u"Value", ANY_KIND, true, true},
    {u"ValueType", NO_KIND, true, false},
    {u"ReadOnly", NO_KIND, true, false},
    {u"WriteOnly", NO_KIND, false, true},
    {u"Hidden", NO_KIND, false, false},
    {u"Failing", NO_KIND, true, true},
    {u"Locale", NO_KIND, true, false},
    {u"Version", NO_KIND, true, false},
    {u"ClassName", NO_KIND, true, false},
    {u"LastReadError", NO_KIND, true, false},
};
static_assert(sizeof PROPERTIES / sizeof PROPERTIES[0] == PROPERTY_COUNT, "one row per property");

// Method indexes; METHODS below lists them in this order.
enum Method : std::int32_t {
  M_INCREMENT,
  M_SET_COUNTER,
  M_SWAP,
  M_BUMP,
  M_FAIL,
  M_GET_COUNTER,
  M_ECHO,
  M_MAKE,
  M_MAKE_BINARY,
  M_REPEAT,
  M_DESCRIBE,
  M_FAIL_FUNCTION,
  M_PEEK_WRITE_ONLY,
  M_ATTACH_LOG,
  M_WAIT_EVENTS,
  // Methods from here on need the host connection.
  M_RAISE_ERROR,
  M_READ_VALUE,
  M_WRITE_VALUE,
  M_REGISTER_PROFILE,
  M_RAISE_EVENT,
  M_RAISE_EVENTS_FROM_THREAD,
  M_SET_STATUS,
  M_RESET_STATUS,
  M_CLEAN_EVENTS,
  M_SET_DEPTH,
  M_GET_DEPTH,
  M_ASK,
  M_TELL,
  M_PLATFORM_INFO,
  M_HAS_INTERFACE,
  METHOD_COUNT
};

struct MethodInfo {
  const char16_t* name;
  std::int32_t parameters;
  bool returnsValue;
};

constexpr MethodInfo METHODS[] = {
    {u"Increment", 0, false},
    {u"SetCounter", 1, false},
    {u"Swap", 2, false},
    {u"Bump", 3, false},
    {u"Fail", 0, false},
    {u"GetCounter", 0, true},
    {u"Echo", 1, true},
    {u"Make", 1, true},
    {u"MakeBinary", 1, true},
    {u"Repeat", 2, true},
    {u"Describe", 3, true},
    {u"FailFunction", 1, true},
    {u"PeekWriteOnly", 0, true},
    {u"AttachLog", 0, true},
    {u"WaitEvents", 0, false},
    {u"RaiseError", 4, true},
    {u"ReadValue", 1, true},
    {u"WriteValue", 3, true},
    {u"RegisterProfile", 1, true},
    {u"RaiseEvent", 3, true},
    {u"RaiseEventsFromThread", 2, true},
    {u"SetStatus", 1, true},
    {u"ResetStatus", 0, false},
    {u"CleanEvents", 0, false},
    {u"SetDepth", 1, true},
    {u"GetDepth", 0, true},
    {u"Ask", 1, true},
    {u"Tell", 1, true},
    {u"PlatformInfo", 0, true},
    {u"HasInterface", 1, true},
};
static_assert(sizeof METHODS / sizeof METHODS[0] == METHOD_COUNT, "one row per method");

// Keeps the host's heap and the event thread's work bounded whatever a test asks.
constexpr std::int64_t MAX_GENERATED_UNITS = 1 << 24;
constexpr std::int64_t MAX_THREAD_EVENTS = 1 << 20;

bool validProperty(std::int32_t property) { return property >= 0 && property < PROPERTY_COUNT; }
bool validMethod(std::int32_t method) { return method >= 0 && method < METHOD_COUNT; }

// A whole number within [low, high] from a numeric record.
bool wholeArg(const NativeVariant& record, std::int64_t low, std::int64_t high,
              std::int64_t& out) {
  double number = 0;
  if (!numberOf(record, number)) return false;
  if (std::floor(number) != number || number < static_cast<double>(low) ||
      number > static_cast<double>(high)) {
    return false;
  }
  out = static_cast<std::int64_t>(number);
  return true;
}

// Wide text of a record, or null for any other kind (the host then sees a
// null text).
const char16_t* textArg(const NativeVariant& record) {
  return record.type == quillbox::TYPE_WIDE_TEXT ? record.wide.text : nullptr;
}

std::u16string textOrEmpty(const char16_t* text) {
  return text == nullptr ? std::u16string() : std::u16string(text);
}

}  // namespace

SampleComponent::SampleComponent(const SampleClass& sampleClass, std::u16string createdAs,
                                 SampleOptions options)
    : class_(sampleClass),
      createdAs_(std::move(createdAs)),
      options_(options),
      properties_(PROPERTY_COUNT) {
  for (std::int32_t i = 0; i < PROPERTY_COUNT; ++i) {
    if (PROPERTIES[i].kind < ANY_KIND) properties_[i] = sampleValue(PROPERTIES[i].kind);
  }
}

SampleComponent::~SampleComponent() { joinEventThread(); }

bool SampleComponent::attachHost(quillbox::IAddInDefBaseEx* host) {
  attachLog_.push_back(u"host");
  return !options_.refuseHost && Component::attachHost(host);
}

bool SampleComponent::attachMemoryManager(quillbox::IMemoryManager* memory) {
  attachLog_.push_back(u"memory");
  return !options_.refuseMemory && Component::attachMemoryManager(memory);
}

void SampleComponent::shutdown() {
  joinEventThread();
  // Without DestroyObject nobody else would ever free the object.
  if (options_.releaseOnShutdown) delete this;
}

// ---------------------------------------------------------------------------
// Properties

std::int32_t SampleComponent::lookupProperty(const char16_t* name) {
  for (std::int32_t i = 0; i < PROPERTY_COUNT; ++i) {
    if (quillbox::sameText(PROPERTIES[i].name, name)) return i;
  }
  return -1;
}

bool SampleComponent::canReadProperty(std::int32_t property) {
  return validProperty(property) && PROPERTIES[property].readable;
}

bool SampleComponent::canWriteProperty(std::int32_t property) {
  return validProperty(property) && PROPERTIES[property].writable;
}

bool SampleComponent::readProperty(std::int32_t property, NativeVariant& value) {
  if (!validProperty(property)) return false;
  if (PROPERTIES[property].kind != NO_KIND) return fillRecord(properties_[property], value);
  switch (property) {
    case P_VALUE_TYPE: fillInt32(properties_[P_VALUE].type, value); return true;
    case P_READ_ONLY: return fillWide(u"fixed", value);
    // Only a host that ignores canReadProperty sees this text.
    case P_WRITE_ONLY:
    case P_HIDDEN: return fillWide(u"unreadable", value);
    case P_LOCALE: return fillWide(locale_, value);
    case P_VERSION: fillInt32(class_.version, value); return true;
    case P_CLASS_NAME: return fillWide(createdAs_, value);
    case P_LAST_READ_ERROR: fillInt32(lastReadError_, value); return true;
    default: return false;  // P_FAILING
  }
}

bool SampleComponent::writeProperty(std::int32_t property, NativeVariant& value) {
  if (!canWriteProperty(property)) return false;
  switch (PROPERTIES[property].kind) {
    case ANY_KIND: properties_[property] = storedFromRecord(value); return true;
    case NO_KIND:
      if (property != P_WRITE_ONLY) return false;  // P_FAILING
      writeOnly_ = storedFromRecord(value);
      return true;
    default: return convertToKind(PROPERTIES[property].kind, value, properties_[property]);
  }
}

// ---------------------------------------------------------------------------
// Methods

std::int32_t SampleComponent::lookupMethod(const char16_t* name) {
  for (std::int32_t i = 0; i < METHOD_COUNT; ++i) {
    if (quillbox::sameText(METHODS[i].name, name)) return i;
  }
  return -1;
}

std::int32_t SampleComponent::countParameters(std::int32_t method) {
  return validMethod(method) ? METHODS[method].parameters : 0;
}

bool SampleComponent::methodReturnsValue(std::int32_t method) {
  return validMethod(method) && METHODS[method].returnsValue;
}

bool SampleComponent::parameterDefaultValue(std::int32_t method, std::int32_t parameter,
                                            NativeVariant& value) {
  if (parameter < 0 || parameter >= countParameters(method)) return false;
  switch (method * 8 + parameter) {
    case M_SET_COUNTER * 8 + 0: fillInt32(0, value); return true;
    case M_BUMP * 8 + 0: return fillWide(u"", value);
    case M_BUMP * 8 + 1: fillInt32(0, value); return true;
    case M_BUMP * 8 + 2: fillBool(false, value); return true;
    case M_MAKE * 8 + 0: fillInt32(quillbox::TYPE_WIDE_TEXT, value); return true;
    case M_REPEAT * 8 + 1: fillInt32(1, value); return true;
    case M_DESCRIBE * 8 + 0: fillInt32(1, value); return true;
    case M_DESCRIBE * 8 + 1: return fillWide(u"two", value);
    case M_WRITE_VALUE * 8 + 2: fillBool(false, value); return true;
    default: return false;  // no default: the record stays empty
  }
}

bool SampleComponent::invoke(std::int32_t method, NativeVariant* result, NativeVariant* values,
                             std::int32_t count) {
  if (!validMethod(method)) return false;
  // Every method reads all its parameters; fewer records than that are padded
  // with empty ones, and in-place changes then need the real records.
  std::vector<NativeVariant> padded;
  if (count < METHODS[method].parameters) {
    padded.assign(METHODS[method].parameters, StoredValue::zeroed());
    for (std::int32_t i = 0; i < count; ++i) padded[i] = values[i];
    values = padded.data();
  }
  NativeVariant scratch = StoredValue::zeroed();
  bool ok = callMethod(method, result != nullptr ? *result : scratch, values, count);
  if (!padded.empty()) {
    for (std::int32_t i = 0; i < count; ++i) values[i] = padded[i];
  }
  clearValue(scratch);
  return ok;
}

bool SampleComponent::callMethod(std::int32_t method, NativeVariant& result,
                                 NativeVariant* values, std::int32_t count) {
  std::int64_t number = 0;
  switch (method) {
    case M_INCREMENT: ++counter_; return true;
    case M_SET_COUNTER:
      if (!wholeArg(values[0], INT32_MIN, INT32_MAX, number)) return false;
      counter_ = static_cast<std::int32_t>(number);
      return true;
    case M_SWAP:
      if (count < 2) return false;
      std::swap(values[0], values[1]);
      return true;
    case M_BUMP: return count >= 3 && bump(values);
    case M_FAIL: return false;
    case M_GET_COUNTER: fillInt32(counter_, result); return true;
    case M_ECHO: return fillRecord(storedFromRecord(values[0]), result);
    case M_MAKE:
      return wholeArg(values[0], 0, 0xFFFF, number) &&
             fillRecord(sampleValue(static_cast<std::uint16_t>(number)), result);
    case M_MAKE_BINARY: {
      if (!wholeArg(values[0], 0, MAX_GENERATED_UNITS, number)) return false;
      StoredValue data;
      data.type = quillbox::TYPE_BINARY;
      for (std::int64_t i = 0; i < number; ++i) data.bytes += static_cast<char>(i % 256);
      return fillRecord(data, result);
    }
    case M_REPEAT: {
      if (values[0].type != quillbox::TYPE_WIDE_TEXT) return false;
      StoredValue unit = storedFromRecord(values[0]);
      std::int64_t limit = MAX_GENERATED_UNITS / (unit.wide.empty() ? 1 : unit.wide.size());
      if (!wholeArg(values[1], 0, limit, number)) return false;
      std::u16string text;
      for (std::int64_t i = 0; i < number; ++i) text += unit.wide;
      return fillWide(text, result);
    }
    case M_DESCRIBE:
      return fillWide(describe(values[0]) + u"|" + describe(values[1]) + u"|" + describe(values[2]),
                      result);
    case M_FAIL_FUNCTION:
      // Leaves visible changes behind, then fails: the host still reports them.
      if (count >= 1) {
        clearValue(values[0]);
        fillWide(u"changed", values[0]);
      }
      fillWide(u"partial", result);
      return false;
    case M_PEEK_WRITE_ONLY: return fillRecord(writeOnly_, result);
    case M_ATTACH_LOG: {
      std::u16string log;
      for (const std::u16string& entry : attachLog_) log += (log.empty() ? u"" : u",") + entry;
      return fillWide(log, result);
    }
    case M_WAIT_EVENTS: joinEventThread(); return true;
    default: return host() != nullptr && callHostService(method, result, values);
  }
}

bool SampleComponent::callHostService(std::int32_t method, NativeVariant& result,
                                      NativeVariant* values) {
  quillbox::IAddInDefBaseEx& host = *this->host();
  std::int64_t number = 0;
  std::int64_t size = 0;
  switch (method) {
    case M_RAISE_ERROR: {
      std::int64_t code = 0;
      std::int64_t status = 0;
      wholeArg(values[0], 0, 0xFFFF, code);
      wholeArg(values[3], INT32_MIN, INT32_MAX, status);
      fillBool(host.AddError(static_cast<std::uint16_t>(code), textArg(values[1]),
                             textArg(values[2]), static_cast<std::int32_t>(status)),
               result);
      return true;
    }
    case M_READ_VALUE: {
      // A sentinel the host has to replace, and an error code it has to clear.
      NativeVariant received = StoredValue::zeroed();
      fillInt32(12345, received);
      std::int32_t error = -1;
      bool ok = host.Read(textArg(values[0]), &received, &error);
      lastReadError_ = error;
      result = received;  // whatever buffer it holds goes back with the result
      return ok;
    }
    case M_WRITE_VALUE: {
      if (!boolOf(values[2])) {
        fillBool(host.Write(textArg(values[0]), &values[1]), result);
        return true;
      }
      NativeVariant reference = StoredValue::zeroed();
      reference.type = quillbox::TYPE_REFERENCE;
      reference.reference = &values[1];
      fillBool(host.Write(textArg(values[0]), &reference), result);
      return true;
    }
    case M_REGISTER_PROFILE:
      fillBool(host.RegisterProfileAs(textArg(values[0])), result);
      return true;
    case M_RAISE_EVENT:
      fillBool(host.ExternalEvent(textArg(values[0]), textArg(values[1]), textArg(values[2])),
               result);
      return true;
    case M_RAISE_EVENTS_FROM_THREAD:
      if (!wholeArg(values[0], 0, MAX_THREAD_EVENTS, number) ||
          !wholeArg(values[1], 0, MAX_GENERATED_UNITS, size)) {
        return false;
      }
      fillBool(startEventThread(number, size), result);
      return true;
    case M_SET_STATUS: fillBool(host.SetStatusLine(textArg(values[0])), result); return true;
    case M_RESET_STATUS: host.ResetStatusLine(); return true;
    case M_CLEAN_EVENTS: host.CleanEventBuffer(); return true;
    case M_SET_DEPTH:
      if (!wholeArg(values[0], INT32_MIN, INT32_MAX, number)) return false;
      fillBool(host.SetEventBufferDepth(static_cast<std::int32_t>(number)), result);
      return true;
    case M_GET_DEPTH: fillInt32(host.GetEventBufferDepth(), result); return true;
    case M_ASK: {
      quillbox::IMsgBoxN* box = host.msgBox();
      if (box == nullptr) return false;
      NativeVariant answer = StoredValue::zeroed();
      bool ok = box->askYesNo(textArg(values[0]), &answer);
      result = answer;
      return ok;
    }
    case M_TELL: {
      quillbox::IMsgBoxN* box = host.msgBox();
      if (box == nullptr) return false;
      fillBool(box->showMessage(textArg(values[0])), result);
      return true;
    }
    case M_PLATFORM_INFO: {
      quillbox::IPlatformInfoN* part = host.platformInfoPart();
      const quillbox::PlatformInfoRecord* info = part == nullptr ? nullptr : part->platformInfo();
      if (info == nullptr) return false;
      return fillWide(textOrEmpty(info->version) + u"|" + textOrEmpty(info->userAgent) + u"|" +
                          widen(std::to_string(info->applicationKind)),
                      result);
    }
    case M_HAS_INTERFACE:
      if (!wholeArg(values[0], INT32_MIN, INT32_MAX, number)) return false;
      fillBool(host.interfaceOf(static_cast<std::int32_t>(number)) != nullptr, result);
      return true;
    default: return false;
  }
}

// Text gains "!", the number 1, the flag flips; other kinds are replaced.
bool SampleComponent::bump(NativeVariant* values) {
  NativeVariant text = StoredValue::zeroed();
  std::u16string bumped = storedFromRecord(values[0]).wide + u"!";
  if (values[0].type != quillbox::TYPE_WIDE_TEXT) bumped = u"!";
  if (!fillWide(bumped, text)) return false;
  clearValue(values[0]);  // the host's buffer goes back to the host's heap
  values[0] = text;

  NativeVariant& number = values[1];
  switch (number.type) {
    case quillbox::TYPE_INT32:
    case quillbox::TYPE_INT:
      // Wraps at the top instead of overflowing.
      number.int32Value =
          static_cast<std::int32_t>(static_cast<std::uint32_t>(number.int32Value) + 1u);
      break;
    case quillbox::TYPE_UINT32:
    case quillbox::TYPE_UINT: number.uint32Value += 1; break;
    case quillbox::TYPE_FLOAT: number.floatValue += 1; break;
    case quillbox::TYPE_DOUBLE: number.doubleValue += 1; break;
    default:
      clearValue(number);
      fillInt32(1, number);
      break;
  }

  NativeVariant& flag = values[2];
  bool flipped = flag.type == quillbox::TYPE_BOOL ? !boolOf(flag) : true;
  clearValue(flag);
  fillBool(flipped, flag);
  return true;
}

// ---------------------------------------------------------------------------
// Events from a thread of the add-in's own

bool SampleComponent::startEventThread(std::int64_t count, std::int64_t size) {
  joinEventThread();
  quillbox::IAddInDefBaseEx* host = this->host();
  eventThread_ = std::thread([host, count, size] {
    try {
      for (std::int64_t i = 0; i < count; ++i) {
        std::u16string message = widen(std::to_string(i));
        std::u16string data(static_cast<std::size_t>(size), static_cast<char16_t>(u'A' + i % 26));
        host->ExternalEvent(u"Thread", message.c_str(), data.c_str());
      }
    } catch (...) {
      // Nothing may leave the thread; the remaining events are dropped.
    }
  });
  return true;
}

void SampleComponent::joinEventThread() {
  if (eventThread_.joinable()) eventThread_.join();
}

// ---------------------------------------------------------------------------
// Records for the host

bool SampleComponent::fillRecord(const StoredValue& value, NativeVariant& record) {
  switch (value.type) {
    case quillbox::TYPE_WIDE_TEXT: return fillWide(value.wide, record);
    case quillbox::TYPE_NARROW_TEXT: {
      auto* text = static_cast<char*>(allocate(static_cast<std::uint32_t>(value.bytes.size() + 1)));
      if (text == nullptr) return false;
      value.bytes.copy(text, value.bytes.size());
      text[value.bytes.size()] = 0;
      quillbox::zeroValue(record);
      record.type = value.type;
      record.narrow.text = text;
      record.narrow.length = static_cast<std::uint32_t>(value.bytes.size());
      return true;
    }
    case quillbox::TYPE_BINARY: {
      auto* data = static_cast<char*>(allocate(static_cast<std::uint32_t>(value.bytes.size())));
      if (data == nullptr) return false;
      value.bytes.copy(data, value.bytes.size());
      quillbox::zeroValue(record);
      record.type = value.type;
      record.binary.data = data;
      record.binary.length = static_cast<std::uint32_t>(value.bytes.size());
      return true;
    }
    case quillbox::TYPE_REFERENCE: {
      // The previous text was freed by the host when it released the last
      // reference, so it is overwritten, not freed.
      NativeVariant target = StoredValue::zeroed();
      if (!fillWide(u"referenced", target)) return false;
      referenced_ = target;
      quillbox::zeroValue(record);
      record.type = value.type;
      record.reference = &referenced_;
      return true;
    }
    default:
      record = value.scalar;
      record.type = value.type;
      return true;
  }
}

bool SampleComponent::fillWide(const std::u16string& text, NativeVariant& record) {
  quillbox::zeroValue(record);
  return setWideText(record, text.data(), static_cast<std::uint32_t>(text.size()));
}

void SampleComponent::fillInt32(std::int32_t number, NativeVariant& record) {
  quillbox::zeroValue(record);
  record.type = quillbox::TYPE_INT32;
  record.int32Value = number;
}

void SampleComponent::fillBool(bool flag, NativeVariant& record) {
  quillbox::zeroValue(record);
  record.type = quillbox::TYPE_BOOL;
  record.boolValue = flag;
}

}  // namespace sample

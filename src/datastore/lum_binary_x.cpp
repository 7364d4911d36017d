#include <algorithm>
#include <stdexcept>
#include <string>

#include "datastore/binary_codec.h"
#include "datastore/data_store.h"
#include "datastore/diagnostics.h"
#include "datastore/lum_binary.h"
#include "datastore/value_range.h"

namespace lumatix::datastore {
namespace {

constexpr char kMagic[] = "LumBinaryX";
constexpr std::int32_t kOldStyleRemarks = 256;
// The smallest encodings, used to bound counts by the bytes that remain.
constexpr std::uint64_t kMinMarkBytes = 4 + 4 + 4 + 1 + 1;
constexpr std::uint64_t kMinHistoryBytes = 1 + 1 + 1 + 9 * 4 + 1;

[[noreturn]] void corrupt() { throw std::runtime_error("The file is corrupt.\n"); }

void encodeAttributes(binary::Encoder& e, const DataStore& store) {
  e.flag(store.attributes.cfrCompliant);
  e.flag(store.attributes.dataUnmodified);
  e.string(store.attributes.fileId);
  e.string(store.attributes.timeStamp);
  e.string(store.parent.parentFileName);
  e.flag(store.parent.cfrCompliant);
  e.flag(store.parent.dataUnmodified);
  e.string(store.parent.fileId);
  e.string(store.parent.timeStamp);
}

// Only selected marks are stored.
void encodeViewState(binary::Encoder& e, const ViewState& view) {
  e.i32(view.reserved);
  e.i32(view.axisCount);
  for (std::int32_t i = 0; i < view.axisCount; ++i)
    e.i32(static_cast<std::size_t>(i) < view.dimensionOrder.size() ? view.dimensionOrder[static_cast<std::size_t>(i)] : i);
  for (std::int32_t i = 0; i < view.axisCount; ++i) {
    auto range = static_cast<std::size_t>(i) < view.ranges.size() ? view.ranges[static_cast<std::size_t>(i)]
                                                                   : std::pair<float, float>{0.0f, 0.0f};
    e.f32(range.first);
    e.f32(range.second);
  }
  e.i32(static_cast<std::int32_t>(view.marks.size()));
  for (const auto& list : view.marks) {
    std::int32_t selected = 0;
    for (const auto& mark : list) selected += mark.selected ? 1 : 0;
    e.i32(selected);
    for (const auto& mark : list) {
      if (!mark.selected) continue;
      e.f32(mark.value);
      e.i32(mark.second);
      e.i32(mark.first);
      e.string(mark.label);
      e.flag(mark.selected);
    }
  }
}

void encodeHistory(binary::Encoder& e, const std::vector<HistoryEntry>& history) {
  e.i32(static_cast<std::int32_t>(history.size()));
  for (const auto& entry : history) {
    e.flag(entry.isOldStyle);
    e.string(entry.title);
    e.string(entry.text);
    for (auto field : entry.time) e.i32(field);
    e.string(entry.user);
  }
}

void feedCount(Crc32& crc, std::int32_t count) {
  binary::Encoder e;
  e.i32(count);
  crc.update(e.bytes().data(), 4);
}

void feedText(Crc32& crc, const std::string& s) {
  auto text = binary::cString(s);
  crc.update(text.data(), text.size());
}

// A store whose file the reader would refuse is not written at all.
void checkWritable(const DataStore& store, bool headerOnly) {
  if (store.viewState.axisCount < 1) return;  // never initialised: "Datastore not valid" below
  auto refuse = [](const std::string& why) {
    throw std::runtime_error("This DataStore cannot be saved as LumBinaryX: " + why);
  };
  if (store.viewState.axisCount > ViewState::kMaxAxes || store.dimensions.size() > ViewState::kMaxAxes)
    refuse("it has more than " + std::to_string(ViewState::kMaxAxes) + " dimensions.");
  if (store.properties.size() > DataStore::kMaxProperties) refuse("it has more than 255 properties.");
  if (store.remarks.size() >= kOldStyleRemarks) refuse("it has more than 255 remarks.");
  for (const auto& d : store.dimensions) {
    if (d.size() < 1) refuse("the dimension \"" + d.name + "\" has no values.");
    if (static_cast<std::uint32_t>(d.size()) > kMaxBinaryValues)
      refuse("the dimension \"" + d.name + "\" has too many values.");
  }
  if (!headerOnly) {
    std::int64_t n = store.valuesPerProperty();
    if (n < 0 || n * store.properties.size() * 4 > kMaxBinaryBlockBytes)
      refuse("it holds more than 268435456 bytes of values.");
    if (n * store.properties.size() != store.data.count) refuse("its values do not fill its dimensions.");
  }
}

}  // namespace

std::ostream& writeLumBinaryX(DataStore& store, std::ostream& out, bool headerOnly) {
  checkWritable(store, headerOnly);
  Crc32 crc;
  out << kMagic << '\n';
  store.formatName = kMagic;
  crc.update(kMagic, sizeof kMagic - 1);

  binary::Encoder e;
  e.string(store.title);
  feedText(crc, store.title);
  out.write(e.bytes().data(), static_cast<std::streamsize>(e.bytes().size()));

  binary::Encoder covered;  // items 3-5 and the history, fed to the checksum last
  encodeAttributes(covered, store);
  out.write(covered.bytes().data(), static_cast<std::streamsize>(covered.bytes().size()));
  if (store.viewState.axisCount < 1) throw std::runtime_error("Datastore not valid");
  std::size_t viewAt = covered.bytes().size();
  encodeViewState(covered, store.viewState);
  out.write(covered.bytes().data() + viewAt, static_cast<std::streamsize>(covered.bytes().size() - viewAt));

  e.clear();
  e.i32(store.remarks.size());
  feedCount(crc, store.remarks.size());
  for (const auto& remark : store.remarks) {
    e.string(remark);
    feedText(crc, remark);
  }
  e.i32(store.extraStrings.size());
  for (const auto& extra : store.extraStrings) e.string(extra);
  e.i32(store.properties.size());
  feedCount(crc, store.properties.size());
  for (const auto& property : store.properties) {
    e.string(property);
    feedText(crc, property);
  }
  e.i32(store.dimensions.size());
  feedCount(crc, store.dimensions.size());
  for (auto& dimension : store.dimensions) {
    for (auto at = dimension.name.find("-arb"); at != std::string::npos; at = dimension.name.find("-arb"))
      dimension.name.erase(at, 4);
    e.string(dimension.name);
    e.i32(dimension.size());
    std::size_t valuesAt = e.bytes().size();
    e.floats(dimension.values.data(), static_cast<std::size_t>(dimension.size()));
    crc.update(e.bytes().data() + valuesAt, 4 * static_cast<std::size_t>(dimension.size()));
  }
  out.write(e.bytes().data(), static_cast<std::streamsize>(e.bytes().size()));

  if (!headerOnly) {
    std::int32_t byteCount = store.data.count * 4;
    feedCount(crc, byteCount);
    e.clear();
    e.i32(byteCount);
    out.write(e.bytes().data(), 4);
    binary::writeFloats(out, store.data.data, static_cast<std::size_t>(store.data.count));
    crc.update(store.data.data, 4 * static_cast<std::size_t>(store.data.count));

    std::size_t historyAt = covered.bytes().size();
    encodeHistory(covered, store.history);
    out.write(covered.bytes().data() + historyAt, static_cast<std::streamsize>(covered.bytes().size() - historyAt));
  }

  crc.update(covered.bytes().data(), covered.bytes().size());
  e.clear();
  e.i32(static_cast<std::int32_t>(crc.value()));
  out.write(e.bytes().data(), 4);
  out.flush();
  store.saved = true;
  return out;
}

void readLumBinaryX(DataStore& store, std::istream& in, bool headerOnly) {
  binary::Decoder d(in);
  Crc32 crc;
  auto need = [](bool ok) {
    if (!ok) corrupt();
  };

  std::string magic;
  need(d.line(magic, 64) && magic == kMagic);
  crc.update(kMagic, sizeof kMagic - 1);

  need(d.string(store.title));
  feedText(crc, store.title);

  auto& own = store.attributes;
  auto& parent = store.parent;
  need(d.flag(own.cfrCompliant) && d.flag(own.dataUnmodified) && d.string(own.fileId) && d.string(own.timeStamp));
  need(d.string(parent.parentFileName) && d.flag(parent.cfrCompliant) && d.flag(parent.dataUnmodified) &&
       d.string(parent.fileId) && d.string(parent.timeStamp));

  ViewState view;
  need(d.i32(view.reserved) && d.i32(view.axisCount));
  need(view.axisCount >= 1 && view.axisCount <= ViewState::kMaxAxes);
  const auto axes = static_cast<std::size_t>(view.axisCount);
  view.dimensionOrder.resize(axes);
  view.ranges.resize(axes);
  for (auto& order : view.dimensionOrder) need(d.i32(order));
  for (auto& range : view.ranges) need(d.f32(range.first) && d.f32(range.second));
  std::uint32_t lists = 0;
  need(d.u32(lists) && lists <= d.remaining() / 4);
  view.marks.resize(lists);
  for (auto& list : view.marks) {
    std::uint32_t count = 0;
    need(d.u32(count) && count <= d.remaining() / kMinMarkBytes);
    list.resize(count);
    for (auto& mark : list)
      need(d.f32(mark.value) && d.i32(mark.second) && d.i32(mark.first) && d.string(mark.label) &&
           d.flag(mark.selected));
  }

  std::uint32_t remarkCount = 0;
  need(d.u32(remarkCount));
  feedCount(crc, static_cast<std::int32_t>(remarkCount));
  store.remarks.clear();
  if (remarkCount >= static_cast<std::uint32_t>(kOldStyleRemarks)) {
    diagnostics() << "reading old style comment." << std::endl;
    d.unread4();
    std::string remark;
    need(d.string(remark));
    store.remarks.push_back(remark);
  } else {
    diagnostics() << "reading " << remarkCount << " comments" << std::endl;
    need(remarkCount <= d.remaining());
    for (std::uint32_t i = 0; i < remarkCount; ++i) {
      std::string remark;
      need(d.string(remark));
      feedText(crc, remark);
      store.remarks.push_back(std::move(remark));
    }
  }

  std::uint32_t extraCount = 0;
  need(d.u32(extraCount) && extraCount <= d.remaining());
  store.extraStrings.clear();
  for (std::uint32_t i = 0; i < extraCount; ++i) {
    std::string extra;
    need(d.string(extra));
    store.extraStrings.push_back(std::move(extra));
  }

  std::uint32_t propertyCount = 0;
  need(d.u32(propertyCount) && propertyCount <= static_cast<std::uint32_t>(DataStore::kMaxProperties));
  feedCount(crc, static_cast<std::int32_t>(propertyCount));
  store.properties = Array<std::string>(static_cast<std::int32_t>(propertyCount));
  for (auto& property : store.properties) {
    need(d.string(property));
    feedText(crc, property);
  }

  std::uint32_t dimensionCount = 0;
  need(d.u32(dimensionCount) && dimensionCount <= static_cast<std::uint32_t>(DataStore::kMaxDimensions));
  feedCount(crc, static_cast<std::int32_t>(dimensionCount));
  store.dimensions = Array<Dimension>(static_cast<std::int32_t>(dimensionCount));
  for (auto& dimension : store.dimensions) {
    std::uint32_t count = 0;
    need(d.string(dimension.name) && d.u32(count));
    need(count >= 1 && count <= kMaxBinaryValues && count <= d.remaining() / 4);
    dimension.values = Array<float>(static_cast<std::int32_t>(count));
    need(d.floats(dimension.values.data(), count));
    crc.update(dimension.values.data(), 4 * static_cast<std::size_t>(count));
  }

  // The block the dimensions call for must fit the format, and a full file must still hold it.
  std::int64_t perProperty = store.valuesPerProperty();
  need(perProperty >= 0);
  const std::int64_t valueCount = perProperty * propertyCount;
  need(valueCount * 4 <= kMaxBinaryBlockBytes);
  if (!headerOnly) need(static_cast<std::uint64_t>(valueCount) * 4 + 4 <= d.remaining());
  need(store.initialise());
  if (headerOnly) return;

  std::uint32_t byteCount = 0;
  need(d.u32(byteCount) && byteCount <= kMaxBinaryBlockBytes && byteCount == valueCount * 4);
  feedCount(crc, static_cast<std::int32_t>(byteCount));
  // Read in slices and check each while it is still in the cache, finding the value range on
  // the way (what computeRange would find).
  constexpr std::size_t kSlice = 1 << 20;
  float lo = 0.0f, hi = 0.0f;
  for (std::size_t at = 0; at < static_cast<std::size_t>(valueCount); at += kSlice) {
    std::size_t n = std::min(kSlice, static_cast<std::size_t>(valueCount) - at);
    float* slice = store.data.data + at;
    need(d.floats(slice, n));
    crc.update(slice, 4 * n);
    if (at == 0) lo = hi = slice[0];
    extendRange(slice, n, lo, hi);
  }
  if (valueCount > 0) {
    store.minValue = lo;
    store.maxValue = hi;
  }

  std::int32_t entries = 0;
  if (!d.i32(entries) || entries < 0 || static_cast<std::uint64_t>(entries) > d.remaining() / kMinHistoryBytes)
    throw std::runtime_error("This file is corrupt");
  store.history.resize(static_cast<std::size_t>(entries));
  for (auto& entry : store.history) {
    need(d.flag(entry.isOldStyle) && d.string(entry.title) && d.string(entry.text));
    for (auto& field : entry.time) need(d.i32(field));
    need(d.string(entry.user));
  }

  binary::Encoder covered;
  encodeAttributes(covered, store);
  encodeViewState(covered, view);
  encodeHistory(covered, store.history);
  crc.update(covered.bytes().data(), covered.bytes().size());
  std::uint32_t stored = 0;
  need(d.u32(stored) && stored == crc.value());

  store.viewState = std::move(view);
  store.formatName = kMagic;
}

}  // namespace lumatix::datastore

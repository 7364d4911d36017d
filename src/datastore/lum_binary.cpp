#include <stdexcept>
#include <string>

#include "datastore/binary_codec.h"
#include "datastore/data_store.h"
#include "datastore/lum_binary.h"

namespace lumatix::datastore {
namespace {

constexpr char kMagic[] = "LumBinary";
constexpr std::uint32_t kMaxRemarks = 65535;
constexpr std::uint32_t kMaxHistoryTexts = 255;

[[noreturn]] void corrupt() { throw std::runtime_error("The file is corrupt.\n"); }

// A string cut off by the end of the file is corruption; any other short read is left to
// the stream state.
bool readString(binary::Decoder& d, std::string& s) {
  if (d.string(s)) return true;
  if (d.stream().eof()) corrupt();
  return false;
}

}  // namespace

std::ostream& writeLumBinary(DataStore& store, std::ostream& out, bool headerOnly) {
  binary::Encoder e;
  out << kMagic << '\n';
  e.string(store.title);
  e.i32(store.remarks.size());
  for (const auto& remark : store.remarks) e.string(remark);
  e.i32(store.properties.size());
  for (const auto& property : store.properties) e.string(property);
  e.i32(store.dimensions.size());
  for (const auto& dimension : store.dimensions) {
    e.string(dimension.name);
    e.i32(dimension.size());
    e.floats(dimension.values.data(), static_cast<std::size_t>(dimension.size()));
  }
  out.write(e.bytes().data(), static_cast<std::streamsize>(e.bytes().size()));
  if (!headerOnly) {
    e.clear();
    e.i32(store.data.count * 4);
    out.write(e.bytes().data(), 4);
    binary::writeFloats(out, store.data.data, static_cast<std::size_t>(store.data.count));
    e.clear();
    e.i32(static_cast<std::int32_t>(store.history.size()));
    for (const auto& entry : store.history) e.string(historyText(entry));
    out.write(e.bytes().data(), static_cast<std::streamsize>(e.bytes().size()));
  }
  out.flush();
  return out;
}

void readLumBinary(DataStore& store, std::istream& in, bool headerOnly) {
  store.attributes.cfrCompliant = false;
  binary::Decoder d(in);
  auto fail = [&] { in.setstate(std::ios::failbit); };

  std::string magic;
  if (!d.line(magic, 64) || magic != kMagic) return fail();
  if (!readString(d, store.title)) return fail();

  std::uint32_t remarkCount = 0;
  if (!d.u32(remarkCount)) return fail();
  store.remarks.clear();
  if (remarkCount > kMaxRemarks) {
    d.unread4();
    std::string remark;
    if (!readString(d, remark)) return fail();
    store.remarks.push_back(remark);
  } else {
    if (remarkCount > d.remaining()) return fail();
    for (std::uint32_t i = 0; i < remarkCount; ++i) {
      std::string remark;
      if (!readString(d, remark)) return fail();
      store.remarks.push_back(std::move(remark));
    }
  }

  std::uint32_t propertyCount = 0;
  if (!d.u32(propertyCount) || propertyCount < 1 || propertyCount > static_cast<std::uint32_t>(DataStore::kMaxProperties))
    return fail();
  store.properties = Array<std::string>(static_cast<std::int32_t>(propertyCount));
  for (auto& property : store.properties)
    if (!readString(d, property)) return fail();

  std::uint32_t dimensionCount = 0;
  if (!d.u32(dimensionCount) || dimensionCount > static_cast<std::uint32_t>(DataStore::kMaxDimensions)) return fail();
  store.dimensions = Array<Dimension>(static_cast<std::int32_t>(dimensionCount));
  for (auto& dimension : store.dimensions) {
    std::uint32_t count = 0;
    if (!readString(d, dimension.name) || !d.u32(count)) return fail();
    if (count > kMaxBinaryValues || count > d.remaining() / 4) return fail();
    dimension.values = Array<float>(static_cast<std::int32_t>(count));
    if (!d.floats(dimension.values.data(), count)) return fail();
  }

  std::int64_t perProperty = store.valuesPerProperty();
  if (perProperty < 0) return fail();
  const std::int64_t valueCount = perProperty * propertyCount;
  if (valueCount * 4 > kMaxBinaryBlockBytes) return fail();
  if (!headerOnly && static_cast<std::uint64_t>(valueCount) * 4 + 4 > d.remaining()) return fail();
  if (!store.initialise()) return fail();
  if (headerOnly) return;

  std::uint32_t byteCount = 0;
  if (!d.u32(byteCount) || byteCount > kMaxBinaryBlockBytes) return fail();
  if (byteCount != valueCount * 4) corrupt();
  if (!d.floats(store.data.data, static_cast<std::size_t>(valueCount))) return fail();
  store.computeRange();

  std::uint32_t texts = 0;
  if (!d.u32(texts)) {
    in.clear();
    return;
  }
  if (texts < 1 || texts > kMaxHistoryTexts) {
    d.unread4();
    texts = 1;
  }
  for (std::uint32_t i = 0; i < texts; ++i) {
    std::string text;
    if (!readString(d, text)) return fail();
    store.addHistory(makeOldComment(std::move(text)));
  }
}

}  // namespace lumatix::datastore

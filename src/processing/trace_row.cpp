#include "processing/trace_row.h"

#include <cstdint>
#include <new>

#include "platform/memory.h"

namespace lumatix::processing {

TraceRow::TraceRow(std::vector<float> values) : size_(values.size()) {
  auto holder = std::make_shared<std::vector<float>>(std::move(values));
  values_ = std::shared_ptr<const float>(holder, holder->data());
}

std::span<float> TraceRow::edit() {
  if (values_.use_count() > 1) *this = TraceRow(std::vector<float>(begin(), end()));
  // Alone in holding them, the values are this row's to change: they were made writable.
  return {const_cast<float*>(values_.get()), size_};
}

TraceBlock::TraceBlock(std::size_t rows, std::size_t length) : rows_(rows), length_(length) {
  if (length != 0 && rows > SIZE_MAX / sizeof(float) / length) throw std::bad_alloc();
  const std::size_t bytes = rows * length * sizeof(float);
  auto* values = static_cast<float*>(platform::allocateZeroed(bytes));
  if (values == nullptr && bytes != 0) throw std::bad_alloc();
  block_ = std::shared_ptr<float>(values, [bytes](float* p) { platform::releaseZeroed(p, bytes); });
}

std::vector<TraceRow> TraceBlock::rows() const {
  std::vector<TraceRow> result;
  result.reserve(rows_);
  for (std::size_t r = 0; r < rows_; ++r) result.push_back(TraceRow(block_, block_.get() + r * length_, length_));
  return result;
}

}  // namespace lumatix::processing

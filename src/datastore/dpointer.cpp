#include "datastore/dpointer.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "platform/memory.h"

namespace lumatix::datastore {
namespace {

std::size_t bytesOf(std::int32_t n) { return static_cast<std::size_t>(n) * sizeof(float); }

float* obtain(std::int32_t n, const char* message) {
  if (n < 0) throw std::runtime_error(message);
  auto* block = static_cast<float*>(platform::allocateZeroed(bytesOf(n)));
  if (!block) throw std::runtime_error(message);
  return block;
}

}  // namespace

DPointer::DPointer(const DPointer& other) {
  if (other.count > 0) {
    data = obtain(other.count, "Error allocating memory for DPointer");
    count = other.count;
    std::memcpy(data, other.data, bytesOf(count));
  }
}

DPointer::DPointer(DPointer&& other) noexcept
    : data(std::exchange(other.data, nullptr)), count(std::exchange(other.count, 0)) {}

DPointer& DPointer::operator=(const DPointer& other) {
  if (this != &other) {
    DPointer copy(other);
    *this = std::move(copy);
  }
  return *this;
}

DPointer& DPointer::operator=(DPointer&& other) noexcept {
  if (this != &other) {
    release();
    data = std::exchange(other.data, nullptr);
    count = std::exchange(other.count, 0);
  }
  return *this;
}

DPointer::~DPointer() { release(); }

void DPointer::release() noexcept {
  platform::releaseZeroed(data, bytesOf(count));
  data = nullptr;
  count = 0;
}

void DPointer::allocate(std::int32_t n) {
  if (n == 0) return;
  float* block = obtain(n, "Error allocating memory for DPointer");
  release();
  data = block;
  count = n;
}

void DPointer::allocateZeroed(std::int32_t n) {
  if (n == 0) {
    release();
    return;
  }
  allocate(n);
}

float* DPointer::resize(std::int32_t n) {
  if (count == 0 || !data) {
    allocate(n);
    return data;
  }
  if (n == 0) {
    release();
    return data;
  }
  float* block = obtain(n, "Error (re)allocating memory for DPointer");
  std::memcpy(block, data, bytesOf(std::min(count, n)));
  release();
  data = block;
  count = n;
  return data;
}

float& DPointer::operator[](std::int64_t i) {
  if (i < 0 || i >= count) throw std::out_of_range("Index out-of-range in DPointer::operator[]");
  return data[i];
}

const float& DPointer::operator[](std::int64_t i) const {
  if (i < 0 || i >= count) throw std::out_of_range("Index out-of-range in DPointer::operator[]");
  return data[i];
}

void DPointer::zero() {
  if (data) std::fill(data, data + count, 0.0f);
}

}  // namespace lumatix::datastore

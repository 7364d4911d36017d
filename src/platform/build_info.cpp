#include "platform/build_info.h"

#include <utility>

namespace lumatix::platform {
namespace {

BuildStamp& installedStamp() {
  static BuildStamp stamp;
  return stamp;
}

}  // namespace

BuildStamp buildStamp() {
  if (!installedStamp().date.empty()) return installedStamp();
  return {__DATE__, __TIME__};
}

void setBuildStamp(BuildStamp stamp) { installedStamp() = std::move(stamp); }

}  // namespace lumatix::platform

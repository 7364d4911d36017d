#pragma once
// Where the viewer puts the file a CD unit conversion makes: written as LumBinaryX under the
// name the plot offers, then opened in a plot window of its own.

#include <functional>
#include <string>

#include "app/plot_document.h"

namespace lumatix::app {

class ConvertedFileOpener : public ConvertedFileHandler {
 public:
  // open: shows the written file in a new plot window; false when no window could be made.
  explicit ConvertedFileOpener(std::function<bool(const std::string& path)> open) : open_(std::move(open)) {}

  // Writes atomically (a failure throws the writer's text and leaves no file), then opens.
  bool saveAndOpen(datastore::smart_ptr<datastore::DataStore> store, const std::string& suggestedPath) override;

  // The file the last call wrote, "" before.
  const std::string& written() const { return written_; }

 private:
  std::function<bool(const std::string&)> open_;
  std::string written_;
};

}  // namespace lumatix::app

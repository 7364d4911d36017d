// PlotDocument: what an on-line window needs beyond an ordinary one.

#include <stdexcept>

#include "app/plot_document.h"

namespace lumatix::app {

void PlotDocument::replaceStore(datastore::smart_ptr<datastore::DataStore> store) {
  if (!store) throw std::invalid_argument("A plot document needs a store.");
  store_ = std::move(store);
  historySynced_ = set_.history.size();  // the new store keeps its own history
  changes_.notify(Change::SavedState);
}

}  // namespace lumatix::app

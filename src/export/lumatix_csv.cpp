#include "export/lumatix_csv.h"

#include <string>
#include <vector>

#include "datastore/data_store.h"
#include "export/store_layout.h"
#include "export/text_sink.h"
#include "processing/settings_description.h"

namespace lumatix::exports {
namespace {

using processing::FirstWord;

const char kHistorySeparator[] = "\\..";

std::string withoutSeparators(std::string line) {
  for (auto at = line.find(kHistorySeparator); at != std::string::npos; at = line.find(kHistorySeparator, at))
    line.erase(at, sizeof kHistorySeparator - 1);
  return line;
}

const datastore::ViewMark* markAt(const datastore::DataStore& store, std::int32_t axis, std::size_t k) {
  const auto& marks = store.viewState.marks;
  if (axis < 0 || static_cast<std::size_t>(axis) >= marks.size()) return nullptr;
  const auto& list = marks[static_cast<std::size_t>(axis)];
  return k < list.size() ? &list[k] : nullptr;
}

class TableWriter {
 public:
  TableWriter(std::ostream& out, datastore::DataStore& store, char sepc) : sink_(out), store_(store), sepc_(sepc) {}

  void write(const char* formatName, bool appendOriginal) {
    store_.formatName = formatName;
    header(formatName);
    if (!order_.empty()) data();
    sink_.put('\n').put('\n');
    history();
    if (appendOriginal) original();
    sink_.flush();
  }

 private:
  void header(const char* formatName) {
    sink_.text(formatName).text("\n\n");
    sink_.text("Title: ").text(store_.title).text("\n\n");
    sink_.text("Remarks:").put('\n');
    for (const auto& remark : store_.remarks) sink_.text(remark).put('\n');
    sink_.put('\n');
    store_.stampLastModified();
    if (store_.modifiedBy.empty()) store_.modifiedBy = "unknown";
    sink_.text("Last Modified: ").text(store_.lastModified).text(" by ").text(store_.modifiedBy).text(".\n\n");
    sink_.text("Options:").put('\n');
    for (const auto& option : store_.options) sink_.text(option).put('\n');
    sink_.put('\n');

    order_ = outputOrder(store_);
    sink_.put('\n').text("Available Dimensions:").put(sepc_).integer(store_.dimensions.size()).put('\n');
    if (order_.empty()) {
      sink_.put('\n').text("Warning! This DataStore doesn't contain any Dimensions.").put('\n');
      return;
    }
    requireValueBlock(store_);
    written_ = order_.size();
    if (order_.size() > 3) {
      const bool fourth = store_.dimensions[order_[3]].size() == 1;
      written_ = fourth ? 4 : 3;
      sink_.put('\n');
      if (fourth)
        sink_.text("Warning! This DataStore contains four or more Dimensions.").put('\n')
            .text("Output will be truncated to the four most significant Dimensions.").put('\n');
      else
        sink_.text("Warning! This DataStore contains more than three Dimensions.").put('\n')
            .text("Output will be truncated to the three most significant Dimensions.").put('\n');
      sink_.text("(Unsaved dimensions are marked below with an asterix.)").put('\n');
    }
    for (std::size_t i = 0; i < order_.size(); ++i) {
      const auto& dimension = store_.dimensions[order_[i]];
      sink_.text(FirstWord(dimension.name));
      if (i >= written_) sink_.text("(*)");
      sink_.put(sepc_).text(processing::DescribeDimension(dimension)).put('\n');
    }
    sink_.put('\n');
    sink_.put('\n').text("Available Properties: ").put(sepc_).integer(store_.properties.size()).put('\n');
    for (const auto& property : store_.properties)
      sink_.text(FirstWord(property)).put(sepc_).text(processing::DescribeProperty(property)).text("\n");
    sink_.put('\n');
    sink_.text("Data:").text("\n\n");
  }

  void data() {
    const float* values = store_.data.data;
    for (std::int32_t p = 0; p < store_.properties.size(); ++p) {
      const std::string name = FirstWord(store_.properties[p]);
      if (written_ == 1) {
        const auto& d0 = store_.dimensions[order_[0]];
        const std::int64_t base = baseOffset(store_, p, {order_[0]});
        const std::int64_t stride = store_.stride(order_[0]);
        sink_.text(FirstWord(d0.name)).put(sepc_).text("\n").text(name).put('\n');
        for (std::int32_t j = 0; j < d0.size(); ++j)
          sink_.number(d0.values[j]).put(sepc_).number(values[base + j * stride]).text("\n");
        sink_.put('\n');
        continue;
      }
      std::vector<std::int32_t> walked(order_.begin(), order_.begin() + static_cast<std::ptrdiff_t>(written_));
      const std::int64_t base = baseOffset(store_, p, walked);
      if (written_ == 2) {
        table(name, base);
        continue;
      }
      const auto& d2 = store_.dimensions[order_[2]];
      const std::int64_t stride2 = store_.stride(order_[2]);
      for (std::int32_t k = 0; k < d2.size(); ++k) {
        if (written_ == 4) {
          const auto& d3 = store_.dimensions[order_[3]];
          sink_.text(FirstWord(d3.name)).text(":").put(sepc_).number(d3.values[0]).text("\n");
        }
        sink_.text(FirstWord(d2.name)).text(":").put(sepc_).number(d2.values[k]).put('\n');
        table(name, base + k * stride2);
      }
    }
  }

  // The table of d0 (rows) against d1 (columns) starting at offset base.
  void table(const std::string& property, std::int64_t base) {
    const auto& d0 = store_.dimensions[order_[0]];
    const auto& d1 = store_.dimensions[order_[1]];
    const std::int64_t stride0 = store_.stride(order_[0]);
    const std::int64_t stride1 = store_.stride(order_[1]);
    const float split0 = splitValue(store_, order_[0]);
    const float split1 = splitValue(store_, order_[1]);
    const float* values = store_.data.data;

    sink_.text("\n").text(property).put('\n');
    sink_.text(FirstWord(d0.name)).put(sepc_).text(FirstWord(d1.name)).put('\n');
    sink_.put(sepc_);
    std::size_t appended = 0;
    for (std::int32_t j = 0; j < d1.size(); ++j) {
      if (d1.values[j] <= split1) {
        sink_.number(d1.values[j]).put(sepc_);
        continue;
      }
      const datastore::ViewMark* mark = markAt(store_, order_[1], appended++);
      if (mark && mark->selected) sink_.text(mark->label);
      sink_.put(sepc_);
    }
    sink_.put('\n');

    auto row = [&](std::int32_t i) {
      const float* first = values + base + i * stride0;
      for (std::int32_t j = 0; j < d1.size(); ++j) {
        if (j > 0) sink_.put(sepc_);
        sink_.number(first[j * stride1]);
      }
      sink_.put('\n');
    };
    std::vector<std::int32_t> appendedRows;
    for (std::int32_t i = 0; i < d0.size(); ++i) {
      if (d0.values[i] > split0) {
        appendedRows.push_back(i);
        continue;
      }
      sink_.number(d0.values[i]).put(sepc_);
      row(i);
    }
    for (std::size_t k = 0; k < appendedRows.size(); ++k) {
      const datastore::ViewMark* mark = markAt(store_, order_[0], k);
      if (!mark || !mark->selected) continue;
      sink_.text(mark->label).put(sepc_);
      row(appendedRows[k]);
    }
  }

  void history() {
    sink_.text("History: ").put('\n');
    for (const auto& line : store_.historyLines()) sink_.text(withoutSeparators(line)).text("\n");
    sink_.put('\n');
  }

  // The store in the LumatixStore text form, from the properties on.
  void original() {
    sink_.text("Original DataStore data below:\n\n");
    sink_.text("Properties:").put('\n').integer(store_.properties.size()).put('\n');
    for (const auto& property : store_.properties) sink_.text(property).text("\n");
    sink_.text("Dimensions:").put('\n').integer(store_.dimensions.size()).put('\n');
    for (const auto& dimension : store_.dimensions) {
      sink_.text(dimension.name).put('\n').integer(dimension.size()).put('\n');
      for (std::int32_t i = 0; i < dimension.size(); ++i) {
        if (i > 0) sink_.put(',');
        sink_.number(dimension.values[i]);
      }
      sink_.put('\n').put('\n');
    }
    for (const auto& option : store_.options) sink_.text(option).text("\n");
    if (store_.dimensions.size() == 0) return;
    requireValueBlock(store_);
    const float* next = store_.data.data;
    for (std::int32_t p = 0; p < store_.properties.size(); ++p) {
      block(store_.dimensions.size() - 1, next);
      sink_.text("\n");
    }
  }

  // A block of dimension d: rows of dimension 0 on their own lines, one more line end per
  // level above.
  void block(std::int32_t d, const float*& next) {
    const std::int32_t n = store_.dimensions[d].size();
    if (d == 0) {
      for (std::int32_t i = 0; i < n; ++i) {
        if (i > 0) sink_.put(',');
        sink_.number(*next++);
      }
      return;
    }
    for (std::int32_t i = 0; i < n; ++i) {
      sink_.put('\n');
      block(d - 1, next);
    }
  }

  TextSink sink_;
  datastore::DataStore& store_;
  const char sepc_;
  std::vector<std::int32_t> order_;
  std::size_t written_ = 0;
};

}  // namespace

void writeLumatixCSV(std::ostream& out, datastore::DataStore& store, bool appendOriginal) {
  TableWriter(out, store, ',').write("LumatixCSV", appendOriginal);
}

void writeLumatixTSV(std::ostream& out, datastore::DataStore& store, bool appendOriginal) {
  TableWriter(out, store, '\t').write("LumatixTSV", appendOriginal);
}

}  // namespace lumatix::exports

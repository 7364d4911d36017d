#include <string>
#include <vector>

#include "datastore/data_store.h"
#include "datastore/import_text.h"
#include "datastore/text_cursor.h"

namespace lumatix::datastore {

void readAsciiXY(DataStore& store, std::istream& in) {
  store.attributes.cfrCompliant = false;
  auto c = text::TextCursor::fromStart(in);
  auto fail = [&] { in.setstate(std::ios::failbit); };
  std::string line;

  c.skipWs();
  if (!c.line(line) || line != "ASCII") return fail();
  std::int64_t count = 0;
  if (!c.readInt(count) || count < 1 || static_cast<std::uint64_t>(count) * 2 > text::numbersThatFit(c.remaining()))
    return fail();
  std::vector<float> x(static_cast<std::size_t>(count)), y(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < x.size(); ++i)
    if (!c.readFloat(x[i]) || !c.readFloat(y[i])) return fail();

  store.title = "ASCII Import Data";
  store.dimensions = Array<Dimension>(std::vector<Dimension>{Dimension("X Data", x)});
  store.properties = Array<std::string>(std::vector<std::string>{"Y Data"});
  if (!store.initialise()) return fail();
  std::copy(y.begin(), y.end(), store.data.data);
  store.computeRange();
}

}  // namespace lumatix::datastore

#include <string>
#include <vector>

#include "datastore/data_store.h"
#include "datastore/import_text.h"
#include "datastore/load_refusal.h"
#include "datastore/text_cursor.h"

namespace lumatix::datastore {

void readAsciiXY(DataStore& store, std::istream& in) {
  store.attributes.cfrCompliant = false;
  auto c = text::TextCursor::fromStart(in);
  auto fail = [&](const std::string& why) { refuse(in, "ASCII file: " + why); };
  std::string line;

  c.skipWs();
  if (!c.line(line) || line != "ASCII") return fail("the first line is not \"ASCII\".");
  std::int64_t count = 0;
  if (!c.readInt(count)) return fail(atLine(c, "the point count is missing; found " + foundHere(c) + "."));
  if (count < 1) return fail(atLine(c, "a point count of " + std::to_string(count) + " holds no data."));
  if (static_cast<std::uint64_t>(count) * 2 > text::numbersThatFit(c.remaining()))
    return fail("the count announces " + std::to_string(count) + " points, more than the rest of the file can hold.");
  std::vector<float> x(static_cast<std::size_t>(count)), y(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < x.size(); ++i)
    if (!c.readFloat(x[i]) || !c.readFloat(y[i]))
      return fail(atLine(c, "point " + std::to_string(i + 1) + " of " + std::to_string(count) + ": found " +
                                foundHere(c) + " where a number was expected."));

  store.title = "ASCII Import Data";
  store.dimensions = Array<Dimension>(std::vector<Dimension>{Dimension("X Data", x)});
  store.properties = Array<std::string>(std::vector<std::string>{"Y Data"});
  if (!store.initialise()) return fail("there is not enough memory for its values.");
  std::copy(y.begin(), y.end(), store.data.data);
  store.computeRange();
}

}  // namespace lumatix::datastore

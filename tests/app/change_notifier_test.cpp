// The change notice: what observers hear, in which order, and what happens when an observer
// calls back into the model or ends its own subscription while it is being told.
#include "app/change_notifier.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace lumatix::app {
namespace {

TEST(ChangeNotifier, DeliversWhatChangedToEveryObserverUntilUnsubscribed) {
  ChangeNotifier n;
  std::vector<Change> a, b;
  auto sa = n.subscribe([&](Change c) { a.push_back(c); });
  {
    auto sb = n.subscribe([&](Change c) { b.push_back(c); });
    n.notify(Change::Data | Change::History);
  }
  n.notify(Change::Selection);
  n.notify(Change::None);  // nothing changed: nobody is told
  EXPECT_EQ(a, (std::vector<Change>{Change::Data | Change::History, Change::Selection}));
  EXPECT_EQ(b, (std::vector<Change>{Change::Data | Change::History}));
  EXPECT_EQ(n.observerCount(), 1u);
}

TEST(ChangeNotifier, ReentrantNoticesAreGatheredAndDeliveredAfterTheRound) {
  ChangeNotifier n;
  std::vector<Change> first, second;
  int depth = 0, maxDepth = 0;
  auto s1 = n.subscribe([&](Change c) {
    maxDepth = std::max(maxDepth, ++depth);
    first.push_back(c);
    // An observer that changes the model again, as a window writing back a clamped value.
    if (c == Change::Data) n.notify(Change::View);
    --depth;
  });
  auto s2 = n.subscribe([&](Change c) { second.push_back(c); });
  n.notify(Change::Data);
  EXPECT_EQ(maxDepth, 1);
  EXPECT_EQ(first, (std::vector<Change>{Change::Data, Change::View}));
  EXPECT_EQ(second, first);  // the second observer heard the first round before the re-raised one
}

TEST(ChangeNotifier, BatchesDeliverOnceAtTheEnd) {
  ChangeNotifier n;
  std::vector<Change> heard;
  auto s = n.subscribe([&](Change c) { heard.push_back(c); });
  {
    ChangeNotifier::Batch outer(n);
    n.notify(Change::Data);
    {
      ChangeNotifier::Batch inner(n);
      n.notify(Change::History);
    }
    EXPECT_TRUE(heard.empty());
  }
  EXPECT_EQ(heard, (std::vector<Change>{Change::Data | Change::History}));
}

TEST(ChangeNotifier, ObserversMayUnsubscribeThemselvesOrOthersWhileBeingTold) {
  ChangeNotifier n;
  int calls1 = 0, calls2 = 0;
  ChangeNotifier::Subscription s1, s2;
  s1 = n.subscribe([&](Change) {
    ++calls1;
    s1.reset();
    s2.reset();  // the second is not called in this round any more
  });
  s2 = n.subscribe([&](Change) { ++calls2; });
  n.notify(Change::Data);
  n.notify(Change::Data);
  EXPECT_EQ(calls1, 1);
  EXPECT_EQ(calls2, 0);
  EXPECT_EQ(n.observerCount(), 0u);
}

TEST(ChangeNotifier, ASubscriptionMayOutliveItsModelAndReassignmentEndsTheOldOne) {
  ChangeNotifier::Subscription keep;
  int calls = 0;
  {
    auto model = std::make_unique<ChangeNotifier>();
    keep = model->subscribe([&](Change) { ++calls; });
    auto other = model->subscribe([&](Change) { ++calls; });
    other = model->subscribe([&](Change) { calls += 10; });  // replaces, does not add
    model->notify(Change::Data);
    EXPECT_EQ(model->observerCount(), 2u);
  }
  keep.reset();  // the model is gone: nothing to do, nothing touched
  EXPECT_EQ(calls, 11);
}

}  // namespace
}  // namespace lumatix::app

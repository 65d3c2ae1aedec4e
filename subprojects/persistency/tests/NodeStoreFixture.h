#pragma once
// Round trips of object trees through a store, written against the abstract
// Persistency interface so that they run on every store: each store adds
//
//   INSTANTIATE_TEST_SUITE_P(Name, NodeStoreRoundTrip,
//                            testing::Values(StoreMaker{"Name", makeStore}));
//
// where makeStore returns a connection to an empty store. The tests are in
// NodeStoreTest.cpp, which instantiates them for the in-memory store.

#include "velta/persistency/Persistency.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

struct StoreMaker {
  std::string name;
  std::function<std::unique_ptr<Persistency>()> make;
};

inline std::ostream &operator<<(std::ostream &stream, const StoreMaker &maker) {
  return stream << maker.name;
}

class NodeStoreRoundTrip : public testing::TestWithParam<StoreMaker> {
protected:
  void SetUp() override;
  std::unique_ptr<Persistency> store;
};

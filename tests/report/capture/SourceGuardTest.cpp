#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "report/capture/ESourceGuard.h"

TEST(SourceGuard, AFailingSourceKeepsItsValueAndIsToldWithItsCode) {
  std::vector<int> told;
  std::string message;
  const TSourceFailure failed = [&](int progress, const std::exception_ptr& error) {
    told.push_back(progress);
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      message = e.what();
    }
  };
  std::string value = "before";
  GuardedSource(FieldProgress(rfComputerProcessor), failed, [&] {
    value = "half";
    throw std::runtime_error("no registry");
  });
  GuardedSource(FieldProgress(rfNetworkDHCP), failed, [&] { value += " and more"; });
  EXPECT_EQ(value, "half and more") << "what the failed source set stays; nothing is undone";
  EXPECT_EQ(told, std::vector<int>{702222});
  EXPECT_EQ(message, "no registry");
  EXPECT_EQ(FieldProgress(rfApplicationStartDate), 702201);
  EXPECT_EQ(FieldProgress(rfNetworkDHCP), 702233);
}

TEST(SourceGuard, NeitherAFailureNorTheSinkEscapes) {
  EXPECT_NO_THROW(GuardedSource(pcModuleList, {}, [] { throw 1; }));
  EXPECT_NO_THROW(GuardedSource(pcModuleList, [](int, const std::exception_ptr&) { throw 2; },
                                [] { throw 1; }));
}

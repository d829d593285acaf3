#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "report/capture/EHandlerTables.h"
#include "report/capture/EMemoryImage.h"

namespace {

constexpr std::uint32_t kProc = 0x00401000;
constexpr std::uint32_t kLsda = 0x00500000;
constexpr std::uint32_t kCaughtType = 0x00600010;  // the type the matcher takes
constexpr std::uint32_t kOtherType = 0x00600020;

void Uleb(std::vector<std::uint8_t>& out, std::uint32_t v) {
  do {
    std::uint8_t b = v & 0x7F;
    v >>= 7;
    out.push_back(v ? b | 0x80 : b);
  } while (v);
}

void Sleb(std::vector<std::uint8_t>& out, int v) {
  for (;;) {
    const std::uint8_t b = v & 0x7F;
    v >>= 7;
    if ((v == 0 && !(b & 0x40)) || (v == -1 && (b & 0x40))) {
      out.push_back(b);
      return;
    }
    out.push_back(b | 0x80);
  }
}

struct CallSite {
  std::uint32_t Start, Length, LandingPad, Action;  // action: 1 + offset into the actions
};

// An exception table as the compiler lays it out: header, call sites (uleb128), actions,
// throw lists, then the type table, indexed backwards from its end.
struct TableBuilder {
  std::vector<CallSite> Sites;
  std::vector<std::uint8_t> Actions;  // raw records
  std::vector<std::uint8_t> ThrowLists;    // raw uleb128 lists after the type table base
  std::vector<std::uint32_t> Types;   // type table entries 1, 2, ...
  std::uint8_t TypeEncoding = 0x00;   // absolute pointers

  std::vector<std::uint8_t> Build(std::uint32_t at) const {
    std::vector<std::uint8_t> sites;
    for (const CallSite& s : Sites) {
      Uleb(sites, s.Start);
      Uleb(sites, s.Length);
      Uleb(sites, s.LandingPad);
      Uleb(sites, s.Action);
    }
    std::vector<std::uint8_t> tail;
    Uleb(tail, static_cast<std::uint32_t>(sites.size()));
    tail.insert(tail.end(), sites.begin(), sites.end());
    tail.insert(tail.end(), Actions.begin(), Actions.end());
    const std::size_t typeBytes = Types.size() * 4;
    // The offset is counted from just after itself; one byte is enough for these tables.
    std::vector<std::uint8_t> out = {0xFF, TypeEncoding};
    const std::uint32_t typeOffset = static_cast<std::uint32_t>(1 + tail.size() + typeBytes);
    Uleb(out, typeOffset);
    out.push_back(0x01);  // call sites in uleb128
    out.insert(out.end(), tail.begin(), tail.end());
    const std::uint32_t tableBase = at + static_cast<std::uint32_t>(out.size() + typeBytes);
    for (std::size_t i = Types.size(); i-- > 0;) {
      std::uint32_t v = Types[i];
      if ((TypeEncoding & 0x70) == 0x10 && v) {  // pc-relative, through an indirection
        const std::uint32_t here = tableBase - static_cast<std::uint32_t>((i + 1) * 4);
        v -= here;
      }
      for (int k = 0; k < 4; ++k) out.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
    }
    out.insert(out.end(), ThrowLists.begin(), ThrowLists.end());
    return out;
  }
};

class HandlerTables : public ::testing::Test {
 protected:
  TFrameOutcome At(std::uint32_t offset, const TableBuilder& table) {
    TMemoryImage image;
    image.AddRegion(kLsda, table.Build(kLsda));
    for (const auto& [address, value] : extra_) {
      std::vector<std::uint8_t> bytes(4);
      for (int k = 0; k < 4; ++k) bytes[k] = static_cast<std::uint8_t>(value >> (8 * k));
      image.AddRegion(address, bytes);
    }
    TFrameTables frame{kLsda, kProc, kProc + offset};
    return InspectFrameTables(image, frame, [](std::uint32_t type) {
      return type == 0 || type == kCaughtType;
    });
  }
  std::vector<std::pair<std::uint32_t, std::uint32_t>> extra_;
};

// One call site at 0x10..0x20 that lands at 0x40 with the given action.
TableBuilder OneSite(std::uint32_t action) {
  TableBuilder t;
  t.Sites = {{0x10, 0x10, 0x40, action}};
  return t;
}

}  // namespace

TEST_F(HandlerTables, AMatchingCatchTakesTheExceptionAndAnotherTypeLetsItPass) {
  TableBuilder t = OneSite(1);
  t.Types = {kCaughtType};
  Sleb(t.Actions, 1);
  Sleb(t.Actions, 0);
  EXPECT_EQ(At(0x10, t), TFrameOutcome::Caught);
  EXPECT_EQ(At(0x1F, t), TFrameOutcome::Caught);

  t.Types = {kOtherType};
  EXPECT_EQ(At(0x18, t), TFrameOutcome::PassesThrough);
}

TEST_F(HandlerTables, TheActionChainIsFollowedToALaterCatchAll) {
  TableBuilder t = OneSite(1);
  t.Types = {kOtherType, 0};  // catch (Other&), then catch (...)
  Sleb(t.Actions, 1);
  Sleb(t.Actions, 1);  // the next record starts right after this displacement
  Sleb(t.Actions, 2);
  Sleb(t.Actions, 0);
  EXPECT_EQ(At(0x14, t), TFrameOutcome::Caught);
}

TEST_F(HandlerTables, CleanUpsAndCallsWithoutLandingPadLetItPass) {
  EXPECT_EQ(At(0x14, OneSite(0)), TFrameOutcome::PassesThrough);
  TableBuilder none;
  none.Sites = {{0x10, 0x10, 0, 0}};
  EXPECT_EQ(At(0x14, none), TFrameOutcome::PassesThrough);
  TableBuilder cleanupThenOther = OneSite(1);
  cleanupThenOther.Types = {kOtherType};
  Sleb(cleanupThenOther.Actions, 0);
  Sleb(cleanupThenOther.Actions, 1);
  Sleb(cleanupThenOther.Actions, 1);
  Sleb(cleanupThenOther.Actions, 0);
  EXPECT_EQ(At(0x14, cleanupThenOther), TFrameOutcome::PassesThrough);
  TFrameTables noTable{0, kProc, kProc + 4};
  EXPECT_EQ(InspectFrameTables(TMemoryImage(), noTable, [](std::uint32_t) { return true; }),
            TFrameOutcome::PassesThrough);
}

TEST_F(HandlerTables, ACallOutsideTheTableEndsTheProgram) {
  TableBuilder t;
  t.Sites = {{0x10, 0x10, 0x40, 0}, {0x30, 0x08, 0x40, 0}};
  EXPECT_EQ(At(0x0F, t), TFrameOutcome::Terminates);
  EXPECT_EQ(At(0x20, t), TFrameOutcome::Terminates);  // the end of a site is exclusive
  EXPECT_EQ(At(0x38, t), TFrameOutcome::Terminates);
  EXPECT_EQ(At(0x30, t), TFrameOutcome::PassesThrough);
}

TEST_F(HandlerTables, ADynamicThrowListPassesOnlyTheTypesItLists) {
  TableBuilder t = OneSite(1);
  t.Types = {kOtherType, kCaughtType};
  Sleb(t.Actions, -1);  // the list at offset 0 after the type table
  Sleb(t.Actions, 0);
  t.ThrowLists = {0};  // noexcept: an empty list
  EXPECT_EQ(At(0x14, t), TFrameOutcome::Terminates);
  t.ThrowLists = {1, 0};  // throw (Other)
  EXPECT_EQ(At(0x14, t), TFrameOutcome::Terminates);
  t.ThrowLists = {1, 2, 0};  // throw (Other, Caught)
  EXPECT_EQ(At(0x14, t), TFrameOutcome::PassesThrough);
}

TEST_F(HandlerTables, PcRelativeTypeEntriesAreReadThroughTheirIndirection) {
  TableBuilder t = OneSite(1);
  t.TypeEncoding = 0x9B;  // indirect | pc-relative | signed 4 bytes
  t.Types = {0x00700000};
  Sleb(t.Actions, 1);
  Sleb(t.Actions, 0);
  extra_ = {{0x00700000, kCaughtType}};
  EXPECT_EQ(At(0x14, t), TFrameOutcome::Caught);
  extra_ = {{0x00700000, kOtherType}};
  EXPECT_EQ(At(0x14, t), TFrameOutcome::PassesThrough);
}

TEST_F(HandlerTables, DamagedTablesGiveAnAnswerWithoutRunningOn) {
  TableBuilder t = OneSite(1);
  t.Types = {kCaughtType};
  // Type index 2 lies before the type table and reads as some other address; the
  // displacement leads back to the same record, for ever.
  Sleb(t.Actions, 2);
  Sleb(t.Actions, -1);
  EXPECT_EQ(At(0x14, t), TFrameOutcome::Unreadable);

  std::vector<std::uint8_t> bytes = OneSite(1).Build(kLsda);
  bytes.resize(bytes.size() - 2);  // cut inside the call-site table
  TMemoryImage image;
  image.AddRegion(kLsda, bytes);
  TFrameTables frame{kLsda, kProc, kProc + 0x14};
  EXPECT_EQ(InspectFrameTables(image, frame, [](std::uint32_t) { return true; }),
            TFrameOutcome::Unreadable);
}

#include "delivery/mail/EDnsPacket.h"

#include <gtest/gtest.h>

namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

// A reply to the query for example.org: header, question, and one answer whose owner points
// at the question name, followed by `rdata`.
std::string Reply(const std::string& rdata, int type = 15, int answers = 1) {
  std::string r = Bytes({'A', 'A', 0x81, 0x80, 0, 1, 0, answers, 0, 0, 0, 0});
  r += Bytes({7}) + "example" + Bytes({3}) + "org" + Bytes({0, 0, 15, 0, 1});
  r += Bytes({0xC0, 12, 0, type, 0, 1, 0, 0, 0x0E, 0x10, 0, static_cast<int>(rdata.size())});
  return r + rdata;
}

bool Parse(const std::string& reply, std::string& host) { return ParseMXReply(reply, host); }

}  // namespace

TEST(DnsPacket, MXQueryBytes) {
  EXPECT_EQ(BuildMXQuery("mail.example.org"),
            Bytes({0x41, 0x41, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 4, 'm', 'a', 'i', 'l', 7, 'e', 'x',
                   'a', 'm', 'p', 'l', 'e', 3, 'o', 'r', 'g', 0, 0, 0x0F, 0, 1}));
}

TEST(DnsPacket, ExchangeOfTheFirstAnswerPlainAndCompressed) {
  std::string host;
  EXPECT_TRUE(Parse(Reply(Bytes({0, 10, 2}) + "mx" + Bytes({0xC0, 12})), host));
  EXPECT_EQ(host, "mx.example.org");
  EXPECT_TRUE(Parse(Reply(Bytes({0, 5, 3}) + "smt" + Bytes({4}) + "test" + Bytes({0})), host));
  EXPECT_EQ(host, "smt.test");
}

TEST(DnsPacket, ReadDnsNameMovesPastTheNameAsStored) {
  const std::string data = Bytes({0, 3}) + "abc" + Bytes({0, 1}) + "x" + Bytes({0xC0, 1, 9});
  std::size_t pos = 1;
  std::string name;
  ASSERT_TRUE(ReadDnsName(data, pos, name));
  EXPECT_EQ(name, "abc");
  EXPECT_EQ(pos, 6u);
  ASSERT_TRUE(ReadDnsName(data, pos, name));
  EXPECT_EQ(name, "x.abc");
  EXPECT_EQ(pos, 10u);  // after the pointer, not after the name it points to

  // Two pointers to each other: refused, and the position stays.
  const std::string loop = Bytes({0xC0, 2, 0xC0, 0});
  pos = 2;
  EXPECT_FALSE(ReadDnsName(loop, pos, name));
  EXPECT_EQ(pos, 2u);
  EXPECT_EQ(name, "");
}

TEST(DnsPacket, HostileRepliesGiveNoHost) {
  std::string host = "stale";
  // Truncated header, and a reply cut inside the question.
  EXPECT_FALSE(Parse(Bytes({'A', 'A', 0x81, 0x80, 0, 1}), host));
  EXPECT_EQ(host, "");
  EXPECT_FALSE(Parse(Reply("").substr(0, 20), host));
  // Pointers to themselves and forward, where loops are made.
  EXPECT_FALSE(Parse(Reply(Bytes({0, 10, 0xC0, 43})), host));
  EXPECT_FALSE(Parse(Reply(Bytes({0, 10, 0xC0, 45, 0xC0, 43})), host));
  // A label, a record length and a pointer reaching past the end.
  EXPECT_FALSE(Parse(Reply(Bytes({0, 10, 9}) + "mx" + Bytes({0})), host));
  std::string longer = Reply(Bytes({0, 10, 2}) + "mx" + Bytes({0}));
  longer[longer.size() - 7] = 50;
  EXPECT_FALSE(Parse(longer, host));
  EXPECT_FALSE(Parse(Reply(Bytes({0, 10, 0xC0, 0xFF})), host));
  // A name without its terminating zero inside the record, reserved label types, an empty
  // (root) exchange, no answer at all, and an answer that is not MX.
  EXPECT_FALSE(Parse(Reply(Bytes({0, 10, 2}) + "mx") + Bytes({0}), host));
  EXPECT_FALSE(Parse(Reply(Bytes({0, 10, 0x41}) + std::string(0x41, 'a') + Bytes({0})), host));
  EXPECT_FALSE(Parse(Reply(Bytes({0, 10, 0})), host));
  EXPECT_FALSE(Parse(Reply(Bytes({0, 10, 2}) + "mx" + Bytes({0}), 15, 0), host));
  EXPECT_FALSE(Parse(Reply(Bytes({0, 10, 2}) + "mx" + Bytes({0}), 6), host));
  EXPECT_EQ(host, "");
}

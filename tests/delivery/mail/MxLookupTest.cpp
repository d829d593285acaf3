#include "delivery/mail/EMxLookup.h"

#include <gtest/gtest.h>

#include <map>

#include "delivery/mail/EDnsPacket.h"
#include "delivery/mail/ESockets.h"
#include "tests/delivery/mail/FakeSocketPeer.h"

namespace {

// DNS servers by address: each answers every query with its reply after `delayMs`, or stays
// silent when the reply is empty.
struct DnsWorld {
  FakeClock clock;
  std::map<std::string, std::string> replies;
  std::uint32_t delayMs = 20;
  std::vector<std::string> queries;  // "server wait"

  class Server final : public ISocketTransport {
   public:
    Server(DnsWorld& world) : world_(world) {}
    bool Open(bool stream) override { return !stream; }
    std::uint32_t LookupHost(const std::string& host) override {
      host_ = host;
      return 0x0100007F;
    }
    bool Connect(std::uint32_t, std::uint16_t port) override { return port == 53; }
    int Send(const char* data, int length) override {
      world_.queries.push_back(host_);
      if (std::string(data, static_cast<std::size_t>(length)) != BuildMXQuery("y.org")) return -1;
      readyAt_ = world_.clock.now + world_.delayMs;
      return length;
    }
    int Receive(char* buffer, int size) override {
      const std::string& reply = world_.replies[host_];
      const int n = std::min<int>(size, static_cast<int>(reply.size()));
      reply.copy(buffer, static_cast<std::size_t>(n));
      readyAt_ = 0;
      return n;
    }
    int BytesWaiting() override {
      return readyAt_ && world_.clock.now >= readyAt_ ? static_cast<int>(world_.replies[host_].size()) : 0;
    }
    bool PeerClosed() override { return false; }
    bool Close() override { return true; }
    bool IsOpen() const override { return true; }
    int LastError() override { return 10040; }
    std::string ErrorMessage(int) override { return "too long"; }

   private:
    DnsWorld& world_;
    std::string host_;
    std::uint32_t readyAt_ = 0;
  };

  TDnsServices Services(std::vector<std::string> servers) {
    return {[this] { return std::make_unique<Server>(*this); }, &clock,
            [servers] { return servers; }};
  }
};

std::string GoodReply() {
  std::string r("AA\x81\x80\0\x01\0\x01\0\0\0\0", 12);
  r += std::string("\x01y\x03org\0\0\x0F\0\x01", 11);
  r += std::string("\xC0\x0C\0\x0F\0\x01\0\0\x0E\x10\0\x07\0\x0A\x02mx\xC0\x0C", 19);
  return r;
}

}  // namespace

TEST(MxLookup, ServerListDropsEmptyAndZeroAddressesAndEndsWithTheFallback) {
  EXPECT_EQ(DnsServersWithFallback({" 10.0.0.2 ", "0.0.0.0", "", "10.0.0.3"}),
            (std::vector<std::string>{"10.0.0.2", "10.0.0.3", FallbackDnsServer}));
}

TEST(MxLookup, BrokenAndSilentServersAreSkippedAfterThreeAttempts) {
  DnsWorld world;
  world.replies["10.0.0.1"] = std::string("AA\x81\x80\0\x01", 6);  // truncated header
  world.replies["10.0.0.2"] = GoodReply();
  EXPECT_EQ(ResolveMXHost("dev@y.org", 30000, world.Services({"10.0.0.1", "10.0.0.2", "9.9.9.9"})),
            "mx.y.org");
  EXPECT_EQ(world.queries, (std::vector<std::string>{"10.0.0.1", "10.0.0.1", "10.0.0.1", "10.0.0.2"}));
}

TEST(MxLookup, NoUsableAnswerAfterEveryServerAndItsWaits) {
  DnsWorld world;
  const std::uint32_t start = world.clock.now;
  try {
    ResolveMXHost("y.org", 30000, world.Services({"10.0.0.1"}));
    FAIL() << "resolved";
  } catch (const EOskedaSocketError& e) {
    EXPECT_EQ(e.Message(), "Cannot resolve the \"y.org\" MX record.");
  }
  // A silent server costs its three waits: 10050, 10150 and 10250 ms.
  EXPECT_EQ(world.queries.size(), 3u);
  EXPECT_GE(world.clock.now - start, 30450u);
  EXPECT_LT(world.clock.now - start, 30470u);
}

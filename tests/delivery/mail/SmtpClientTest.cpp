#include "delivery/mail/ESockets.h"

#include <gtest/gtest.h>

#include "delivery/mail/ESmtpReply.h"
#include "tests/delivery/mail/FakeSocketPeer.h"

namespace {

struct Client {
  FakeClock clock;
  PeerRecord record;
  std::unique_ptr<TOskedaClientSMTP> smtp;
  explicit Client(PeerScript script) {
    smtp = std::make_unique<TOskedaClientSMTP>(
        std::make_unique<FakeSocketPeer>(clock, std::move(script), record), clock, "relay", 25,
        true, 30000);
  }
};

Reply Now(const std::string& text) { return {{0, text}}; }

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EOskedaSocketError& e) {
    return e.Message();
  }
  return "(no error)";
}

}  // namespace

TEST(SmtpReply, CodesAndFinalLines) {
  EXPECT_EQ(SmtpReplyCode("250-PIPELINING"), 250u);
  EXPECT_EQ(SmtpReplyCode("2"), 2u);
  EXPECT_FALSE(SmtpReplyCode("OK 250"));
  EXPECT_FALSE(SmtpReplyCode("99999999999 huge"));
  EXPECT_TRUE(SmtpReplyMatches("251 forwarded", {250, 251}));
  EXPECT_FALSE(SmtpReplyMatches("2500 x", {250}));

  EXPECT_TRUE(EndsWithFinalReplyLine("250 OK\r\n"));
  EXPECT_TRUE(EndsWithFinalReplyLine("250-a\r\n250-b\r\n250 c\r\n"));
  EXPECT_TRUE(EndsWithFinalReplyLine("250\r\n"));
  EXPECT_TRUE(EndsWithFinalReplyLine("220 bare line feeds\n"));
  EXPECT_FALSE(EndsWithFinalReplyLine("250-a\r\n250-b\r\n"));
  EXPECT_FALSE(EndsWithFinalReplyLine("250 OK"));
  EXPECT_FALSE(EndsWithFinalReplyLine("250 a\r\n250-b\r\n"));
  EXPECT_FALSE(EndsWithFinalReplyLine("OK fine\r\n"));
  EXPECT_FALSE(EndsWithFinalReplyLine("25 x\r\n"));
}

TEST(SmtpClient, MultiLineReplyWithinASecondIsOneReplyAndEndsWithoutIdleWait) {
  Client c({{Now("220 hi\r\n"),
             {{0, "250-relay\r\n"}, {500, "250-SIZE 1000\r\n"}, {500, "250 AUTH LOGIN\r\n"}},
             Now("250 reset\r\n")}});
  c.smtp->Connect();
  EXPECT_EQ(c.smtp->Log(), "Connected to 127.0.0.1 port 25\r\n220 hi\r\n");
  const std::uint32_t start = c.clock.now;
  EXPECT_TRUE(c.smtp->SendCommand("EHLO me", {250}));
  EXPECT_LT(c.clock.now - start, 1100u);  // the two half-second gaps, no quiet second after
  EXPECT_TRUE(c.smtp->SendCommand("RSET\r\n", {250}));
  EXPECT_EQ(c.record.lines, (std::vector<std::string>{"EHLO me", "RSET"}));
  EXPECT_EQ(c.smtp->Log(),
            "Connected to 127.0.0.1 port 25\r\n220 hi\r\nEHLO me\r\n"
            "250-relay\r\n250-SIZE 1000\r\n250 AUTH LOGIN\r\nRSET\r\n250 reset\r\n");
}

TEST(SmtpClient, AReplyWithoutDigitsRaisesTheTranscript) {
  Client c({{Now("220 hi\r\n"), Now("OK then\r\n")}});
  c.smtp->Connect();
  EXPECT_EQ(ErrorOf([&] { c.smtp->SendCommand("HELO me", {250}); }),
            "Connected to 127.0.0.1 port 25\r\n220 hi\r\nHELO me\r\nOK then\r\n");
  EXPECT_FALSE(c.smtp->SendCommand("", {250}));
}

TEST(SmtpClient, FailedSendClosesFirstSoTheTranscriptIsEmpty) {
  PeerScript script{{Now("220 hi\r\n"), Now("250 ok\r\n")}};
  script.failSendAfterBytes = 9;
  Client c(script);
  c.smtp->Connect();
  EXPECT_TRUE(c.smtp->SendCommand("HELO me", {250}));
  std::string seen;
  c.smtp->OnSocketError = [&seen](TOskedaClientSocket&, int code, const std::string& text) {
    seen = std::to_string(code) + ":" + text;
  };
  const std::string error = ErrorOf([&] { c.smtp->SendCommand("RSET", {250}); });
  EXPECT_EQ(error, "Error into \"send\": \"error 10054\"\r\nSocket log:\r\n");
  EXPECT_EQ(seen, "-1:" + error);
  EXPECT_FALSE(c.smtp->Connected());
}

TEST(SmtpClient, SilenceTimesOutAfterTheTimeout) {
  Client c({{Now("220 hi\r\n")}});
  c.smtp->Connect();
  const std::uint32_t start = c.clock.now;
  EXPECT_EQ(ErrorOf([&] { c.smtp->SendCommand("NOOP", {250}); }),
            "Socket timeout.\r\nSocket log:\r\nConnected to 127.0.0.1 port 25\r\n220 hi\r\nNOOP\r\n");
  EXPECT_GE(c.clock.now - start, 30000u);
  EXPECT_LT(c.clock.now - start, 30010u);
}

TEST(SmtpClient, RefusedConnectionAndQuietErrors) {
  PeerScript script;
  script.refuseConnect = true;
  Client c(script);
  EXPECT_EQ(ErrorOf([&] { c.smtp->Connect(); }),
            "Connection error: \"error 10061\"\r\nSocket log:\r\n");
  c.smtp->QuietErrors = true;
  EXPECT_THROW(c.smtp->Connect(), EAbort);
}

TEST(SmtpClient, SendProgressAfterEachChunk) {
  Client c({{Now("220 hi\r\n")}});
  c.smtp->Connect();
  std::vector<std::pair<int, int>> seen;
  c.smtp->OnSendProgress = [&seen](TOskedaClientSocket&, int position, int total) {
    seen.emplace_back(position, total);
  };
  EXPECT_EQ(c.smtp->SendString(std::string(2100, 'x')), 2100);
  EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{1025, 2100}, {2049, 2100}, {2101, 2100}}));
}

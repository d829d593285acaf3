#include "delivery/mail/ESmtpSend.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "delivery/mail/ESockets.h"
#include "report/options/ECustomizedTexts.h"
#include "tests/delivery/mail/FakeSocketPeer.h"
#include "tests/delivery/mail/MemoryMailFiles.h"

namespace {

Reply Now(const std::string& text) { return {{0, text}}; }

class RecordingStatus final : public ISendStatus {
 public:
  std::vector<std::string> events;
  bool showing = true;
  bool DialogShowing() override { return showing; }
  void SetSendCounters(int current, int count) override {
    events.push_back("counters " + std::to_string(current) + "/" + std::to_string(count));
  }
  void SetSendStatus(const std::string& text) override { events.push_back(text); }
  void SetSendProgress(int percent) override {
    if (events.empty() || events.back() != "progress " + std::to_string(percent))
      events.push_back("progress " + std::to_string(percent));
  }
  void EndSendDialog() override { events.push_back("end"); }
};

class RecordingOutput final : public IDeliveryErrorOutput {
 public:
  std::vector<std::string> debug, boxes;
  void DebugOutput(const std::string& line) override { debug.push_back(line); }
  void ShowErrorBox(const std::string& text) override { boxes.push_back(text); }
};

struct Harness {
  FakeClock clock;
  MemoryMailFiles files;
  RecordingStatus status;
  RecordingOutput output;
  std::vector<PeerScript> scripts;  // one per connection, in order
  std::vector<PeerRecord> records = std::vector<PeerRecord>(8);
  std::size_t connections = 0;
  std::vector<std::string> lookups;
  std::map<std::string, std::string> exchangers;

  TSmtpServices Services() {
    TSmtpServices s;
    s.NewSocket = [this] {
      const std::size_t n = connections++;
      return std::make_unique<FakeSocketPeer>(clock, n < scripts.size() ? scripts[n] : PeerScript{},
                                              records[n]);
    };
    s.Clock = &clock;
    s.Files = &files;
    s.Status = &status;
    s.ErrorOutput = &output;
    s.LocalHostName = [] { return std::string("desk"); };
    s.MailDate = [] { return std::string("Tue, 8 Dec 2026 09:05:03 +0100"); };
    s.ResolveMX = [this](const std::string& address, std::uint32_t timeoutMs) {
      lookups.push_back(address + " " + std::to_string(timeoutMs));
      const auto it = exchangers.find(address.substr(address.find('@') + 1));
      if (it == exchangers.end()) throw EOskedaSocketError("Cannot resolve the \"x\" MX record.");
      return it->second;
    };
    s.Text = [](int index) { return std::string(DefaultCustomizedText(index)); };
    return s;
  }
};

PeerScript Accepting(bool login) {
  PeerScript s;
  s.replies.push_back(Now("220 relay ready\r\n"));
  if (login) {
    s.replies.push_back(Now("250-relay\r\n250 AUTH LOGIN\r\n"));
    s.replies.push_back(Now("250 reset\r\n"));
    s.replies.push_back(Now("334 VXNlcm5hbWU6\r\n"));
    s.replies.push_back(Now("334 UGFzc3dvcmQ6\r\n"));
    s.replies.push_back(Now("235 welcome\r\n"));
  } else {
    s.replies.push_back(Now("250 hello\r\n"));
    s.replies.push_back(Now("250 reset\r\n"));
  }
  s.replies.push_back(Now("250 sender ok\r\n"));
  s.replies.push_back(Now("250 recipient ok\r\n"));
  s.replies.push_back(Now("354 go ahead\r\n"));
  s.replies.push_back(Now("250 queued\r\n"));
  return s;
}

TSmtpMail Mail() {
  TSmtpMail m;
  m.From = "app@x.org";
  m.SmtpHost = "relay";
  m.Body = "Hello\r\n.\r\nend";
  m.Subject = "Crash";
  m.Attachments = {"log.txt"};
  m.Recipients = "dev@x.org";
  return m;
}

}  // namespace

TEST(SmtpSend, LoginDialogueSendsTheWholeMessageWithoutIdleSeconds) {
  Harness h;
  h.scripts = {Accepting(true)};
  h.files.files["log.txt"] = std::string(3000, 'L');
  TSmtpMail mail = Mail();
  mail.UserID = "user";
  mail.Password = "secret";
  EXPECT_TRUE(SendSMTPMessage(mail, h.Services()));
  const auto& lines = h.records[0].lines;
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 8),
            (std::vector<std::string>{"EHLO desk", "RSET", "AUTH LOGIN", "dXNlcg==", "c2VjcmV0",
                                      "MAIL FROM:<app@x.org>", "RCPT TO:<dev@x.org>", "DATA"}));
  // The report's lone "." arrives doubled, so the message is not cut short.
  EXPECT_TRUE(lines[8].starts_with("Date: Tue, 8 Dec 2026 09:05:03 +0100\r\nFrom: <app@x.org>"));
  EXPECT_NE(lines[8].find("Hello\r\n..\r\nend\r\n"), std::string::npos);
  EXPECT_TRUE(lines[8].ends_with("--=_xcjvnxkbhvfkxzhfdbvzldjhfv--\r\n"));
  EXPECT_TRUE(h.records[0].closed);
  EXPECT_LT(h.clock.now, 5100u);
  EXPECT_EQ(h.status.events.front(), "Connecting with server...");
  EXPECT_EQ(h.status.events.back(), "progress 100");
}

TEST(SmtpSend, EachRecipientHasItsDialogueAndOneAcceptedIsEnough) {
  Harness h;
  PeerScript refused = Accepting(false);
  refused.replies[4] = Now("550 no such user\r\n");
  h.scripts = {refused, Accepting(false)};
  TSmtpMail mail = Mail();
  mail.Recipients = "nobody@x.org; dev@x.org,";
  EXPECT_TRUE(SendEmailBySMTP(mail, h.Services()));
  EXPECT_EQ(h.records[0].lines[0], "HELO desk");
  EXPECT_EQ(h.records[0].lines.back(), "RCPT TO:<nobody@x.org>");
  EXPECT_EQ(h.records[1].lines[3], "RCPT TO:<dev@x.org>");
  const TDeliveryError error = LastDeliveryError();
  EXPECT_EQ(error.Code, eeEmailSMTPError);
  EXPECT_EQ(error.Text,
            "[SMTP] Connected to 127.0.0.1 port 25\r\n220 relay ready\r\nHELO desk\r\n250 hello\r\n"
            "RSET\r\n250 reset\r\nMAIL FROM:<app@x.org>\r\n250 sender ok\r\n"
            "RCPT TO:<nobody@x.org>\r\n550 no such user\r\n");
  ASSERT_EQ(h.output.boxes.size(), 1u);
  EXPECT_EQ(h.output.boxes[0], error.Text);
  EXPECT_TRUE(h.output.debug[0].starts_with("[WARNING] - Code: eeEmailSMTPError - Address: 00000000"
                                            " - Message: \"[SMTP] Connected to"));
  EXPECT_EQ(h.status.events[0], "counters 0/2");
  EXPECT_EQ(h.status.events.back(), "end");
}

TEST(SmtpSend, DirectDeliveryAsksForEachExchangerAndNeverLogsIn) {
  Harness h;
  h.scripts = {Accepting(false)};
  h.exchangers["y.org"] = "mx.y.org";
  TSmtpMail mail = Mail();
  mail.DirectMX = true;
  mail.UserID = "user";
  mail.Password = "secret";
  mail.Recipients = "a@nowhere.org,b@y.org";
  EXPECT_TRUE(SendEmailBySMTP(mail, h.Services()));
  EXPECT_EQ(h.lookups, (std::vector<std::string>{"a@nowhere.org 30000", "b@y.org 30000"}));
  EXPECT_EQ(h.connections, 1u);
  EXPECT_EQ(h.records[0].lines[0], "HELO desk");
  EXPECT_EQ(LastDeliveryError().Text, "[SMTP] Cannot resolve the \"x\" MX record.");
}

TEST(SmtpSend, NoRecipientAcceptedIsAFailureWithoutABoxWhenNoDialogShows) {
  Harness h;
  h.status.showing = false;
  PeerScript closing;
  closing.replies.push_back(Now("421 closing\r\n"));
  h.scripts = {closing};
  EXPECT_FALSE(SendEmailBySMTP(Mail(), h.Services()));
  EXPECT_EQ(LastDeliveryError().Text,
            "[SMTP] Connected to 127.0.0.1 port 25\r\n421 closing\r\n");
  EXPECT_TRUE(h.output.boxes.empty());
}

TEST(SmtpSend, DeliveryErrorTextsAndStatusLine) {
  RecordingOutput output;
  try {
    throw std::runtime_error("not a runtime exception");
  } catch (...) {
    RecordDeliveryError(eeWebFTPError, "FTP", false, output);
  }
  EXPECT_EQ(LastDeliveryError().Text, "General 'FTP' error.");
  EXPECT_EQ(output.debug.at(0),
            "[WARNING] - Code: eeWebFTPError - Address: 00000000 - Message: \"General 'FTP' error.\"");
  StoreDeliveryError(eeLogError, "disk full", true, output);
  EXPECT_TRUE(output.boxes.empty());  // only the delivery channels' errors get a box
  ResetDeliveryError();
  EXPECT_EQ(LastDeliveryError().Code, eeNone);
  EXPECT_EQ(SendStatusLine("Message", 1, 2, "Connecting with server..."),
            "Message 1/2: Connecting with server...");
}

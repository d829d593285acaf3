// A scripted peer behind ISocketTransport, on a clock that only moves when the client sleeps.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "delivery/mail/ESocketTransport.h"

class FakeClock final : public IWaitClock {
 public:
  std::uint32_t now = 5000;
  std::uint32_t TickCount() override { return now; }
  void Sleep(std::uint32_t ms) override { now += ms; }
};

// What the peer sends: chunks that become readable `delayMs` after the previous chunk of the
// same reply (the first after the command that triggered it).
struct Chunk {
  std::uint32_t delayMs;
  std::string text;
};
using Reply = std::vector<Chunk>;

// The peer answers the greeting on connecting and then one reply per line the client sends;
// after a "354" reply it collects the message up to CRLF "." CRLF and answers it with the
// next reply. With no reply left it stays silent.
struct PeerScript {
  std::vector<Reply> replies;
  bool refuseConnect = false;
  int failSendAfterBytes = -1;  // the send that passes this count fails with error 10054
};

struct PeerRecord {
  std::vector<std::string> lines;  // commands as sent, without CRLF; the message as one entry
  bool closed = false;
};

class FakeSocketPeer final : public ISocketTransport {
 public:
  FakeSocketPeer(FakeClock& clock, PeerScript script, PeerRecord& record)
      : clock_(clock), script_(std::move(script)), record_(record) {}
  ~FakeSocketPeer() override { record_.closed = !open_; }

  bool Open(bool) override { return open_ = true; }
  std::uint32_t LookupHost(const std::string&) override { return 0x0100007F; }
  bool Connect(std::uint32_t, std::uint16_t) override {
    if (script_.refuseConnect) {
      error_ = 10061;
      return false;
    }
    NextReply();
    return true;
  }
  int Send(const char* data, int length) override {
    sentBytes_ += length;
    if (script_.failSendAfterBytes >= 0 && sentBytes_ > script_.failSendAfterBytes) {
      error_ = 10054;
      return -1;
    }
    pending_.append(data, static_cast<std::size_t>(length));
    Consume();
    return length;
  }
  int Receive(char* buffer, int size) override {
    Release();
    const int n = std::min<int>(size, static_cast<int>(readable_.size()));
    readable_.copy(buffer, static_cast<std::size_t>(n));
    readable_.erase(0, static_cast<std::size_t>(n));
    return n;
  }
  int BytesWaiting() override {
    Release();
    return static_cast<int>(readable_.size());
  }
  bool PeerClosed() override { return false; }  // closing peers are met under Wine
  bool Close() override {
    open_ = false;
    return true;
  }
  bool IsOpen() const override { return open_; }
  int LastError() override { return error_; }
  std::string ErrorMessage(int code) override { return "error " + std::to_string(code); }

 private:
  void NextReply() {
    if (next_ >= script_.replies.size()) return;
    std::uint32_t at = clock_.now;
    for (const Chunk& c : script_.replies[next_]) {
      at += c.delayMs;
      queued_.push_back({at, c.text});
    }
    inData_ = script_.replies[next_].size() > 0 && script_.replies[next_][0].text.rfind("354", 0) == 0;
    ++next_;
  }
  void Consume() {
    while (true) {
      if (collecting_) {
        const std::size_t end = pending_.find("\r\n.\r\n");
        if (end == std::string::npos) return;
        record_.lines.push_back(pending_.substr(0, end + 2));
        pending_.erase(0, end + 5);
        collecting_ = false;
        NextReply();
        continue;
      }
      const std::size_t eol = pending_.find("\r\n");
      if (eol == std::string::npos) return;
      record_.lines.push_back(pending_.substr(0, eol));
      pending_.erase(0, eol + 2);
      NextReply();
      if (inData_) {
        collecting_ = true;
        inData_ = false;
      }
    }
  }
  void Release() {
    while (!queued_.empty() && queued_.front().first <= clock_.now) {
      readable_ += queued_.front().second;
      queued_.pop_front();
    }
  }

  FakeClock& clock_;
  PeerScript script_;
  PeerRecord& record_;
  std::size_t next_ = 0;
  std::deque<std::pair<std::uint32_t, std::string>> queued_;
  std::string readable_;
  std::string pending_;
  bool open_ = false;
  bool inData_ = false;
  bool collecting_ = false;
  int error_ = 0;
  int sentBytes_ = 0;
};

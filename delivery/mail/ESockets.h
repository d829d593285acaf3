// A small blocking TCP/UDP client with a transcript of the connection, and the SMTP client
// built on it. The socket calls themselves go through ISocketTransport.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "delivery/mail/ESocketTransport.h"
#include "platform/SysUtils.h"

DM_DECLARE_EXCEPTION(EOskedaSocketError, Exception)

class TOskedaClientSocket;
using TSocketErrorEvent =
    std::function<void(TOskedaClientSocket& sender, int code, const std::string& message)>;
using TSendProgressEvent =
    std::function<void(TOskedaClientSocket& sender, int position, int total)>;

// IPv4 socket address as the socket calls take it.
struct TSocketAddress {
  std::uint16_t Family = 2;  // AF_INET
  std::uint16_t Port = 0;    // network byte order
  std::uint32_t Address = 0; // network byte order
};

class TOskedaClientSocket {
 public:
  TOskedaClientSocket(std::unique_ptr<ISocketTransport> transport, IWaitClock& clock,
                      std::string host, std::uint16_t port, bool stream, std::uint32_t timeoutMs);
  virtual ~TOskedaClientSocket();
  TOskedaClientSocket(const TOskedaClientSocket&) = delete;
  TOskedaClientSocket& operator=(const TOskedaClientSocket&) = delete;

  // Opens and connects the socket (blocking) and starts the transcript with
  // "Connected to a.b.c.d port n". Nothing when already connected.
  virtual void Connect();
  // Closes the socket and clears address, state and transcript.
  virtual void Disconnect();

  // One send; 0 when not connected, -1 for a send that would block. Any other failure
  // disconnects and raises.
  int SendBuffer(const char* data, int length);
  // Sends in chunks of at most 1024 bytes, reporting progress after each; the bytes sent.
  int SendString(const std::string& text);
  // The count of bytes waiting; 0 when not connected.
  int BytesWaiting();
  // One receive; 0 when not connected, -1 for a receive that would block.
  int ReceiveBuffer(char* buffer, int size);
  // Everything that arrives until the peer has been quiet for a second (see the .cpp file);
  // empty when nothing is waiting. Also appended to the transcript.
  std::string ReceiveAll();
  // ReceiveAll until something arrives or the timeout has passed; a connection the peer has
  // closed fails at once like a failed receive.
  std::string ReceiveWait();
  // ReceiveWait; "Socket timeout." when nothing arrived.
  std::string ReceiveOrFail();

  // Raises EOskedaSocketError with the text, followed by the transcript unless the text
  // already holds it; calls OnSocketError first. With QuietErrors it raises EAbort instead.
  [[noreturn]] void RaiseSocketError(const std::string& text);

  const std::string& Host() const { return host_; }
  std::uint16_t Port() const { return port_; }
  bool Connected() const { return connected_; }
  const TSocketAddress& Address() const { return address_; }
  const std::string& Log() const { return log_; }

  TSocketErrorEvent OnSocketError;
  TSendProgressEvent OnSendProgress;
  bool QuietErrors = false;

 protected:
  // True when the text received so far is a whole reply, so there is no need to wait for
  // more. A datagram is always whole.
  virtual bool ReplyComplete(const std::string& received) const;
  void AppendToLog(const std::string& text) { log_ += text; }
  std::string SystemMessage();

 private:
  std::unique_ptr<ISocketTransport> transport_;
  IWaitClock& clock_;
  TSocketAddress address_;
  std::string host_;
  std::uint16_t port_;
  bool stream_;
  std::uint32_t timeoutMs_;
  bool connected_ = false;
  std::string log_;
};

class TOskedaClientSMTP : public TOskedaClientSocket {
 public:
  using TOskedaClientSocket::TOskedaClientSocket;

  // Connects and waits for the 220 greeting; anything else raises with the transcript.
  void Connect() override;
  // Waits for a reply; true when its code is one of `codes`.
  bool ReadReply(std::initializer_list<std::uint16_t> codes);
  // Sends the line (CRLF added when missing), adds it to the transcript and reads the reply.
  // A short send or a reply code outside `codes` raises with the transcript as the message.
  // An empty line sends nothing and gives false.
  bool SendCommand(std::string line, std::initializer_list<std::uint16_t> codes);

 protected:
  bool ReplyComplete(const std::string& received) const override;
};

#include "delivery/mail/ESockets.h"

#include <algorithm>
#include <vector>

#include "delivery/mail/ESmtpReply.h"

namespace {

constexpr int SendChunk = 1024;
constexpr std::uint32_t QuietPeriodMs = 1000;

std::uint16_t HostToNet16(std::uint16_t v) {
  const unsigned char bytes[2] = {static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)};
  std::uint16_t out;
  std::copy(bytes, bytes + 2, reinterpret_cast<unsigned char*>(&out));
  return out;
}

}  // namespace

TOskedaClientSocket::TOskedaClientSocket(std::unique_ptr<ISocketTransport> transport,
                                         IWaitClock& clock, std::string host, std::uint16_t port,
                                         bool stream, std::uint32_t timeoutMs)
    : transport_(std::move(transport)),
      clock_(clock),
      host_(std::move(host)),
      port_(port),
      stream_(stream),
      timeoutMs_(timeoutMs) {}

TOskedaClientSocket::~TOskedaClientSocket() {
  try {
    if (connected_) Disconnect();
  } catch (const std::exception&) {
    // A socket that will not close while the client goes away has nobody left to tell.
  }
}

std::string TOskedaClientSocket::SystemMessage() {
  return transport_->ErrorMessage(transport_->LastError());
}

void TOskedaClientSocket::Connect() {
  if (connected_) return;
  if (!transport_->Open(stream_))
    RaiseSocketError(Format("Invalid socket: \"%s\".", SystemMessage().c_str()));
  address_.Family = 2;
  address_.Address = transport_->LookupHost(host_);
  address_.Port = HostToNet16(port_);
  if (!transport_->Connect(address_.Address, port_))
    RaiseSocketError(Format("Connection error: \"%s\"", SystemMessage().c_str()));
  connected_ = transport_->IsOpen();
  const auto* a = reinterpret_cast<const unsigned char*>(&address_.Address);
  log_ = Format("Connected to %d.%d.%d.%d port %d\r\n", a[0], a[1], a[2], a[3], port_);
}

void TOskedaClientSocket::Disconnect() {
  if (transport_->IsOpen() && !transport_->Close())
    RaiseSocketError(Format("Cannot close the socket: \"%s\"", SystemMessage().c_str()));
  address_ = TSocketAddress{};
  connected_ = false;
  log_.clear();
}

int TOskedaClientSocket::SendBuffer(const char* data, int length) {
  if (!connected_) return 0;
  const int sent = transport_->Send(data, length);
  if (sent != -1) return sent;
  const int error = transport_->LastError();
  if (error == WsaEWouldBlock) return -1;
  const std::string message = transport_->ErrorMessage(error);
  Disconnect();
  if (error != 0) RaiseSocketError(Format("Error into \"send\": \"%s\"", message.c_str()));
  return -1;
}

int TOskedaClientSocket::SendString(const std::string& text) {
  const int total = static_cast<int>(text.size());
  int sum = 0;
  for (int at = 0; at < total; at += SendChunk) {
    const int n = std::min(SendChunk, total - at);
    sum += SendBuffer(text.data() + at, n);
    if (OnSendProgress) OnSendProgress(*this, at + n + 1, total);
  }
  return sum;
}

int TOskedaClientSocket::BytesWaiting() {
  if (!connected_) return 0;
  const int waiting = transport_->BytesWaiting();
  if (waiting != -1) return waiting;
  const int error = transport_->LastError();
  if (error == WsaEWouldBlock) return 0;
  const std::string message = transport_->ErrorMessage(error);
  Disconnect();
  RaiseSocketError(Format("Error into \"recv\": \"%s\"", message.c_str()));
}

int TOskedaClientSocket::ReceiveBuffer(char* buffer, int size) {
  if (!connected_) return 0;
  const int received = transport_->Receive(buffer, size);
  if (received != -1) return received;
  const int error = transport_->LastError();
  if (error == WsaEWouldBlock) return -1;
  const std::string message = transport_->ErrorMessage(error);
  Disconnect();
  RaiseSocketError(Format("Error into \"recv\": \"%s\"", message.c_str()));
}

bool TOskedaClientSocket::ReplyComplete(const std::string&) const { return !stream_; }

// A reply whose parts arrive within a second of each other is read as one. The wait for more
// ends early once the text received is a whole reply: without that every reply would cost an
// idle second.
std::string TOskedaClientSocket::ReceiveAll() {
  std::string result;
  int waiting = BytesWaiting();
  std::vector<char> buffer;
  while (waiting > 0) {
    buffer.resize(static_cast<std::size_t>(waiting));
    const int n = ReceiveBuffer(buffer.data(), waiting);
    if (n <= 0) break;
    const std::string chunk(buffer.data(), static_cast<std::size_t>(n));
    result += chunk;
    log_ += chunk;
    if (ReplyComplete(result)) break;
    const std::uint32_t start = clock_.TickCount();
    do {
      waiting = BytesWaiting();
      if (waiting != 0) break;
      clock_.Sleep(1);
    } while (clock_.TickCount() - start <= QuietPeriodMs);
  }
  return result;
}

std::string TOskedaClientSocket::ReceiveWait() {
  const std::uint32_t start = clock_.TickCount();
  std::string received;
  while (true) {
    received = ReceiveAll();
    if (!received.empty()) break;
    // A closed connection will never answer: fail now instead of waiting out the timeout.
    if (stream_ && connected_ && transport_->PeerClosed()) {
      const std::string message = transport_->ErrorMessage(WsaEConnReset);
      Disconnect();
      RaiseSocketError(Format("Error into \"recv\": \"%s\"", message.c_str()));
    }
    if (clock_.TickCount() - start >= timeoutMs_) break;
    clock_.Sleep(1);
    if (clock_.TickCount() - start >= timeoutMs_) break;
  }
  return received;
}

std::string TOskedaClientSocket::ReceiveOrFail() {
  std::string received = ReceiveWait();
  if (received.empty()) RaiseSocketError("Socket timeout.");
  return received;
}

void TOskedaClientSocket::RaiseSocketError(const std::string& text) {
  std::string message = text;
  // An empty transcript counts as missing, so the text always says what the log held.
  if (log_.empty() || message.find(log_) == std::string::npos)
    message += "\r\nSocket log:\r\n" + log_;
  if (OnSocketError) OnSocketError(*this, -1, message);
  if (QuietErrors) throw EAbort(message);
  throw EOskedaSocketError(message);
}

void TOskedaClientSMTP::Connect() {
  TOskedaClientSocket::Connect();
  if (!ReadReply({220})) RaiseSocketError(Log());
}

bool TOskedaClientSMTP::ReadReply(std::initializer_list<std::uint16_t> codes) {
  return SmtpReplyMatches(ReceiveOrFail(), codes);
}

bool TOskedaClientSMTP::SendCommand(std::string line, std::initializer_list<std::uint16_t> codes) {
  if (line.empty()) return false;
  if (line.size() < 2 || line.compare(line.size() - 2, 2, "\r\n") != 0) line += "\r\n";
  if (SendString(line) == static_cast<int>(line.size())) {
    AppendToLog(line);
    if (ReadReply(codes)) return true;
  }
  RaiseSocketError(Log());
}

bool TOskedaClientSMTP::ReplyComplete(const std::string& received) const {
  return EndsWithFinalReplyLine(received);
}

// WinSock 1.1 behind the mail client's socket interface, started when the program starts.
#include "platform/win/WinApi.h"
#include <winsock.h>

#include "delivery/mail/ESocketTransport.h"

namespace {

class TWinSockStartup {
 public:
  TWinSockStartup() { started_ = WSAStartup(0x0101, &data_) == 0; }
  ~TWinSockStartup() {
    if (started_) WSACleanup();
  }

 private:
  WSADATA data_{};
  bool started_ = false;
};
const TWinSockStartup winSockStartup;

class TWinSockTransport final : public ISocketTransport {
 public:
  ~TWinSockTransport() override { Close(); }

  bool Open(bool stream) override {
    socket_ = ::socket(AF_INET, stream ? SOCK_STREAM : SOCK_DGRAM, 0);
    return socket_ != INVALID_SOCKET;
  }
  std::uint32_t LookupHost(const std::string& host) override {
    const hostent* entry = gethostbyname(host.c_str());
    if (!entry || entry->h_addrtype != AF_INET || !entry->h_addr_list || !entry->h_addr_list[0])
      return 0;
    std::uint32_t address;
    CopyMemory(&address, entry->h_addr_list[0], sizeof address);
    return address;
  }
  bool Connect(std::uint32_t address, std::uint16_t port) override {
    WSAAsyncSelect(socket_, nullptr, 0, 0);
    u_long nonBlocking = 0;
    ioctlsocket(socket_, FIONBIO, &nonBlocking);
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr.s_addr = address;
    return ::connect(socket_, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0;
  }
  int Send(const char* data, int length) override {
    const int n = ::send(socket_, data, length, 0);
    return n == SOCKET_ERROR ? -1 : n;
  }
  int Receive(char* buffer, int size) override {
    const int n = ::recv(socket_, buffer, size, 0);
    return n == SOCKET_ERROR ? -1 : n;
  }
  int BytesWaiting() override {
    u_long waiting = 0;
    if (ioctlsocket(socket_, FIONREAD, &waiting) == SOCKET_ERROR) return -1;
    return static_cast<int>(waiting);
  }
  bool PeerClosed() override {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket_, &readable);
    timeval now{0, 0};
    if (select(0, &readable, nullptr, nullptr, &now) != 1) return false;
    char byte;
    return ::recv(socket_, &byte, 1, MSG_PEEK) <= 0;
  }
  bool Close() override {
    if (socket_ == INVALID_SOCKET) return true;
    const bool closed = closesocket(socket_) == 0;
    if (closed) socket_ = INVALID_SOCKET;
    return closed;
  }
  bool IsOpen() const override { return socket_ != INVALID_SOCKET; }
  int LastError() override { return WSAGetLastError(); }
  std::string ErrorMessage(int code) override {
    char text[512] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
    std::string message(text, n);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.'))
      message.pop_back();
    return message.empty() ? "Error " + std::to_string(code) : message;
  }

 private:
  SOCKET socket_ = INVALID_SOCKET;
};

class TSystemWaitClock final : public IWaitClock {
 public:
  std::uint32_t TickCount() override { return GetTickCount(); }
  void Sleep(std::uint32_t ms) override { ::Sleep(ms); }
};

}  // namespace

std::unique_ptr<ISocketTransport> NewPlatformSocket() { return std::make_unique<TWinSockTransport>(); }

IWaitClock& PlatformWaitClock() {
  static TSystemWaitClock clock;
  return clock;
}

// The socket calls the mail client makes, behind an interface: WinSock in the program, a
// scripted peer in tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

// One socket. Failing calls leave their reason in LastError.
class ISocketTransport {
 public:
  virtual ~ISocketTransport() = default;
  // Creates the socket (stream or datagram).
  virtual bool Open(bool stream) = 0;
  // The first IPv4 address of a host name or dotted address, in network byte order; 0 when
  // the lookup fails.
  virtual std::uint32_t LookupHost(const std::string& host) = 0;
  // Makes the socket blocking and connects it.
  virtual bool Connect(std::uint32_t address, std::uint16_t port) = 0;
  // send, recv and the count of bytes waiting; -1 on failure.
  virtual int Send(const char* data, int length) = 0;
  virtual int Receive(char* buffer, int size) = 0;
  virtual int BytesWaiting() = 0;
  // True when nothing is waiting because the peer has closed or reset the connection.
  virtual bool PeerClosed() = 0;
  // Closes the socket when one is open; false when closing failed.
  virtual bool Close() = 0;
  virtual bool IsOpen() const = 0;
  virtual int LastError() = 0;
  // The operating system's text for an error number.
  virtual std::string ErrorMessage(int code) = 0;
};

// Time for the polling waits.
class IWaitClock {
 public:
  virtual ~IWaitClock() = default;
  virtual std::uint32_t TickCount() = 0;  // milliseconds, wrapping
  virtual void Sleep(std::uint32_t ms) = 0;
};

// The platform's sockets (WinSock 1.1) and clock.
std::unique_ptr<ISocketTransport> NewPlatformSocket();
IWaitClock& PlatformWaitClock();

inline constexpr int WsaEWouldBlock = 10035;
inline constexpr int WsaEConnReset = 10054;

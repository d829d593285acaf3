// What the mail and web senders tell the send-progress dialog. Without a dialog every call
// does nothing.
#pragma once

#include <string>
#include <string_view>

class ISendStatus {
 public:
  virtual ~ISendStatus() = default;
  virtual bool DialogShowing() = 0;
  // The recipient counters that prefix the status line of the mail sender.
  virtual void SetSendCounters(int current, int count) = 0;
  virtual void SetSendStatus(const std::string& text) = 0;
  virtual void SetSendProgress(int percent) = 0;
  virtual void EndSendDialog() = 0;
};

// No dialog: the state before the send-progress dialog is shown, and after it.
ISendStatus& NoSendDialog();

// The status line of a mail step: "Message 1/2: Connecting with server...".
std::string SendStatusLine(std::string_view messageText, int current, int count,
                           std::string_view text);

// Time of one report mail with a large attachment to a local relay, as the reporting subsystem
// sends it: SmtpSendBench HOST PORT ATTACHMENT RUNS. Prints "BENCH smtp_send <median> ms".
#include "platform/win/WinApi.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "delivery/mail/ESmtpSend.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: SmtpSendBench HOST PORT ATTACHMENT RUNS\n");
    return 2;
  }
  TSmtpMail mail;
  mail.SmtpHost = argv[1];
  mail.Port = static_cast<std::uint16_t>(std::atoi(argv[2]));
  mail.Attachments = {argv[3]};
  mail.From = "app@dialmoor.test";
  mail.Recipients = "bench@x.test";
  mail.Subject = "Dialmoor error report";
  mail.Body = "Report follows";
  const TSmtpServices services = PlatformSmtpServices();
  std::vector<double> times;
  for (int run = 0; run < std::max(1, std::atoi(argv[4])); ++run) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!SendEmailBySMTP(mail, services)) {
      std::printf("%s\n", LastDeliveryError().Text.c_str());
      return 1;
    }
    QueryPerformanceCounter(&end);
    times.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
                    static_cast<double>(frequency.QuadPart));
  }
  std::sort(times.begin(), times.end());
  std::printf("BENCH smtp_send %.1f ms\n", times[times.size() / 2]);
  return 0;
}

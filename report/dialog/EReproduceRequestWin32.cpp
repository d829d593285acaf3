#include "platform/win/WinApi.h"
#include "platform/win/ModuleOfAddress.h"

#include <cstring>

#include "platform/win/ModalDialog.h"
#include "platform/win/UniqueHandle.h"
#include "report/dialog/EDialogInputWin32.h"
#include "report/dialog/EErrorDialogWin32.h"
#include "report/options/ECoreOptions.h"
#include "report/text/EReportText.h"

namespace {

enum : int { idPrompt = 100, idSteps = 101, idOk = 2 };
constexpr UINT_PTR timerIdle = 1;

std::string Trimmed(const std::string& text) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  std::size_t first = 0, last = text.size();
  while (first < last && blank(text[first])) ++first;
  while (last > first && blank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

class TReproduceRequest final : public TModalDialog {
 public:
  explicit TReproduceRequest(const TOskedaModuleOptions& options) : options_(options) {}
  const char* ClassName() const noexcept override { return "TReproduceRequest"; }
  const std::string& Steps() const { return steps_; }

 protected:
  bool OnInit() override {
    SetWindowTextA(Handle(), options_.GetText(81).c_str());
    SetWindowTextA(Item(idPrompt), options_.GetText(82).c_str());
    SetWindowTextA(Item(idOk), options_.GetText(83).c_str());
    SetWindowTextA(Item(idSteps), "");
    idle_.Start(Handle(), options_.DialogTimeoutSecs(), timerIdle);
    SetForegroundWindow(Handle());
    SetFocus(Item(idSteps));
    return false;
  }
  bool OnCommand(int id, int, HWND) override {
    idle_.Reset();
    if (id != idOk) return false;
    Close();
    return true;
  }
  bool OnTimer(UINT_PTR id) override {
    if (id != timerIdle) return false;
    if (idle_.Tick()) Close();
    return true;
  }
  void OnDestroy() override { idle_.Stop(); }

 private:
  void Close() {
    HWND edit = Item(idSteps);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
    steps_ = Trimmed(text);
    End(idOk);
  }

  const TOskedaModuleOptions& options_;
  TDialogIdleWatch idle_;
  std::string steps_;
};

HINSTANCE RequestModule() {
  return ModuleOfAddress(reinterpret_cast<const void*>(&RequestModule));
}

}  // namespace

void ShowReproduceRequest(TReportContext& context, bool windowProgram) {
  const TOskedaModuleOptions& options = *context.Options;
  if (!options.LogFlags().Contains(lfAskReproduce) || !windowProgram || context.Duplicate) return;
  if (!context.SendChecked && !options.SaveToLog()) return;
  TReproduceRequest request(options);
  if (request.ShowModal(nullptr, "OZ_REQUEST", RequestModule()) == -1) return;
  if (request.Steps().empty() || !context.Report) return;
  context.Report->AddReproduceRequest(request.Steps(), options);
  context.Text = context.Report->Text();
}

bool CopyReportToClipboard(const std::string& text) {
  bool open = false;
  for (int attempt = 0; attempt < 10 && !open; ++attempt) {
    open = OpenClipboard(nullptr);
    if (!open) Sleep(20);
  }
  if (!open) return false;
  bool done = false;
  if (EmptyClipboard()) {
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
      if (void* bytes = GlobalLock(memory)) {
        std::memcpy(bytes, text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        done = SetClipboardData(CF_TEXT, memory) != nullptr;
      }
      if (!done) GlobalFree(memory);
    }
  }
  CloseClipboard();
  return done;
}

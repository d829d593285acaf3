// The modal dialog object under Wine, from a template built in memory: its handlers are called
// with the dialog's items in place, End's result comes back from ShowModal, and an exception
// from a handler goes to the application instead of through the system's frames.
#include "platform/win/WinApi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/SysUtils.h"
#include "platform/gui/Application.h"
#include "platform/win/ModalDialog.h"

namespace {

constexpr int kEditId = 101;
constexpr int kApplyId = 102;

// A DLGTEMPLATE with an edit and a push button, each item DWORD-aligned as the system wants.
class DialogTemplate {
 public:
  DialogTemplate() {
    Header(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 2, 0, 0, 160, 60, "Modal dialog test");
    Item(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 8, 8, 140, 14, kEditId, 0x0081);
    Item(WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 8, 30, 60, 14, kApplyId, 0x0080);
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Dword(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
  }
  void Text(const char* text) {
    for (; *text; ++text) words_.push_back(static_cast<WORD>(*text));
    words_.push_back(0);
  }
  void Header(DWORD style, WORD items, short x, short y, short cx, short cy, const char* title) {
    Dword(style);
    Dword(0);
    words_.insert(words_.end(), {items, static_cast<WORD>(x), static_cast<WORD>(y),
                                 static_cast<WORD>(cx), static_cast<WORD>(cy), 0, 0});
    Text(title);
  }
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom) {
    if (words_.size() % 2) words_.push_back(0);
    Dword(style);
    Dword(0);
    words_.insert(words_.end(), {static_cast<WORD>(x), static_cast<WORD>(y), static_cast<WORD>(cx),
                                 static_cast<WORD>(cy), id, 0xFFFF, atom, 0, 0});
  }
  std::vector<WORD> words_;
};

std::string ItemText(HWND item) {
  char buffer[64] = {};
  GetWindowTextA(item, buffer, sizeof buffer);
  return buffer;
}

// Fills the edit at start and "clicks" Apply; Apply ends the dialog with what the edit holds.
class EchoDialog : public TModalDialog {
 public:
  std::string seenAtApply;
  int initCalls = 0;

 protected:
  bool OnInit() override {
    ++initCalls;
    SetWindowTextA(Item(kEditId), "42");
    PostMessageA(Handle(), WM_COMMAND, MAKEWPARAM(kApplyId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(kApplyId)));
    return true;
  }
  bool OnCommand(int id, int code, HWND control) override {
    if (id != kApplyId || code != BN_CLICKED || control != Item(kApplyId))
      return TModalDialog::OnCommand(id, code, control);
    seenAtApply = ItemText(Item(kEditId));
    End(std::stoi(seenAtApply));
    return true;
  }
};

// Raises from OnInit; the Cancel posted before the raise still closes the dialog.
class RaisingDialog : public TModalDialog {
 protected:
  bool OnInit() override {
    PostMessageA(Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    throw EConvertError("not a number");
  }
};

TEST(ModalDialog, CallsItsHandlersWithTheItemsInPlaceAndReturnsTheResultOfEnd) {
  DialogTemplate dialogTemplate;
  EchoDialog dialog;
  EXPECT_EQ(dialog.ShowModal(nullptr, dialogTemplate.get()), 42);
  EXPECT_EQ(dialog.initCalls, 1);
  EXPECT_EQ(dialog.seenAtApply, "42");
  EXPECT_EQ(dialog.Handle(), nullptr) << "the object forgets its window when the dialog goes";
}

TEST(ModalDialog, AnExceptionFromAHandlerGoesToTheApplicationAndTheDialogGoesOn) {
  std::vector<std::string> reported;
  TObject* sender = nullptr;
  TheApplication()->OnException = [&](TObject* Sender, std::exception_ptr E) {
    sender = Sender;
    reported.push_back(ExceptionClassName(E) + ": " + ExceptionMessage(E));
  };
  DialogTemplate dialogTemplate;
  RaisingDialog dialog;
  const INT_PTR result = dialog.ShowModal(nullptr, dialogTemplate.get());
  TheApplication()->OnException = nullptr;
  EXPECT_EQ(result, IDCANCEL);
  ASSERT_EQ(reported, std::vector<std::string>{"EConvertError: not a number"});
  EXPECT_EQ(sender, &dialog);
}

TEST(ModalDialog, AMissingTemplateResourceGivesMinusOne) {
  EchoDialog dialog;
  EXPECT_EQ(dialog.ShowModal(nullptr, "NO_SUCH_DIALOG"), -1);
  EXPECT_EQ(dialog.initCalls, 0);
}

}  // namespace

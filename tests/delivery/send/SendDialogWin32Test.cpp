#include <gtest/gtest.h>

#include "delivery/send/ESendDialogWin32.h"

// This test program carries no "OZ_SERVER" template: the dialog cannot be made, and the
// starter must not wait for it forever.
TEST(SendDialog, AFailedCreationEndsTheStartersWait) {
  TSendProgress progress([](int) { return std::string("text"); }, true, true);
  ISendStatus& status = progress.StartSendDialog();
  EXPECT_FALSE(status.DialogShowing());
  status.SetSendStatus("nobody listens");
  status.EndSendDialog();
}

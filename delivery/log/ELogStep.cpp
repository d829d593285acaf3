#include "delivery/log/ELogStep.h"

#include "report/capture/EOskedaEvents.h"
#include "report/text/EReportText.h"

namespace {

// A handler that always asks again must not hold the faulting program for ever.
constexpr int MaxLogAttempts = 5;

}  // namespace

void RunLogStep(TReportContext& context, TReportLogKeeper& keeper, IDeliveryErrorOutput& errors) {
  const TOskedaModuleOptions& options = *context.Options;
  if (options.LogFlags().Contains(lfDeleteOnVersionChange))
    keeper.DeleteLogOnVersionChange(options, context.Text);
  if (context.Events && !context.Events->ActionNotify(atSaveLog)) return;

  TDuplicateKey key;
  if (context.Report) {
    const TDuplicateCheckFields& fields = context.Report->DuplicateFields();
    key = {fields.Address, fields.Module, fields.Type, fields.Message};
  }
  for (int attempt = 1;; ++attempt) {
    const TLogStoreResult result = keeper.StoreReportInLog(options, context.Text, key);
    if (result.Error == eeNone) {
      if (result.Duplicate) context.Duplicate = true;
      // The report itself stays as it is for the clipboard; the whole log may go out instead.
      if (result.TextToDeliver != context.Text) context.TextToDeliver = result.TextToDeliver;
      return;
    }
    StoreDeliveryError(result.Error, result.ErrorText, false, errors);
    const bool retry = context.Events && context.Events->ErrorNotify(atSaveLog, result.ErrorText);
    if (!retry || attempt >= MaxLogAttempts) return;
  }
}

#include "report/freeze/EFreezeRules.h"

void TFreezeCount::SetLimit(std::int32_t freezeSeconds) {
  const std::int32_t seconds = freezeSeconds >= 1 ? freezeSeconds : DefaultFreezeSeconds;
  limitMs_ = std::int64_t{seconds} * 1000;
}

TFreezeStep TFreezeCount::After(TPingResult result) {
  switch (result) {
    case TPingResult::Answered:
      elapsedMs_ = 0;
      return TFreezeStep::Rest;
    case TPingResult::WindowGone:
      elapsedMs_ = 0;
      return TFreezeStep::FindWindow;
    case TPingResult::Unanswered:
      break;
  }
  elapsedMs_ += FreezePingMs;
  if (elapsedMs_ < limitMs_) return TFreezeStep::Ping;
  // Counting starts over, so that a freeze that lasts is reported once per limit.
  elapsedMs_ = 0;
  return TFreezeStep::Report;
}

bool IsFreezeWatchWindow(const TWindowFacts& window, const std::optional<TWindowFacts>& owner,
                         bool ownerIsOwned) {
  if (!window.Visible) return false;
  if (window.ToolWindow && !window.AppWindow) return false;
  if (!owner) return true;
  const bool skipped = owner->ToolWindow || !owner->Visible;
  return skipped && !ownerIsOwned;
}

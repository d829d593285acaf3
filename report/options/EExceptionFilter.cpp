#include "report/options/EExceptionFilter.h"

#include "report/options/ECoreOptions.h"

TOskedaFilterMatch MatchExceptionFilter(const TOskedaModuleOptions& options, const Exception& e) {
  TOskedaFilterMatch match;
  if (!options.FilterEnabled()) return match;
  const TNotifyStringList& classes = options.FilteredClasses();
  for (int i = 0; i < classes.Count(); ++i) {
    // Padding entries are empty and name no class.
    if (classes[i].empty() || !e.InheritsFrom(classes[i])) continue;
    match.Filtered = true;
    match.Index = i;
    if (i < options.FilteredMessages().Count()) match.Message = options.FilteredMessages()[i];
    return match;
  }
  return match;
}

// The application hooks: TApplication::HandleException reports through ExceptionManager
// (Kind 1) and runs only when it asks for it; ShowException alone does the same.
#pragma once

// Installs the hooks the program's symbol directory allows; returns how many (0 to 2).
int InstallApplicationHooks();

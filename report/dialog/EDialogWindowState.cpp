#include "report/dialog/EDialogWindowState.h"

#include <algorithm>
#include <string>

#include "platform/IniFile.h"

namespace {

constexpr const char* Section = "Coordinates";

int ReadNonNegative(TIniFile& ini, const std::string& key, int defaultValue) {
  return std::max(ini.ReadInteger(Section, key, defaultValue), 0);
}

int ReadSize(TIniFile& ini, const char* key, int defaultValue) {
  const int value = ini.ReadInteger(Section, key, defaultValue);
  return value > 0 ? value : defaultValue;
}

template <std::size_t N>
void ReadColumns(TIniFile& ini, const char* prefix, std::array<int, N>& widths) {
  for (std::size_t i = 0; i < N; ++i)
    widths[i] = ReadNonNegative(ini, prefix + std::to_string(i), widths[i]);
}

template <std::size_t N>
void WriteColumns(TIniFile& ini, const char* prefix, const std::array<int, N>& widths) {
  for (std::size_t i = 0; i < N; ++i)
    ini.WriteInteger(Section, prefix + std::to_string(i), std::max(widths[i], 0));
}

}  // namespace

TDialogWindowState ReadDialogWindowState(TIniFile& ini) {
  TDialogWindowState s;
  s.Width = ReadSize(ini, "Width", s.Width);
  s.Height = ReadSize(ini, "Height", s.Height);
  s.HasLeft = !ini.ReadString(Section, "Left", "").empty();
  s.HasTop = !ini.ReadString(Section, "Top", "").empty();
  s.Left = ReadNonNegative(ini, "Left", 0);
  s.Top = ReadNonNegative(ini, "Top", 0);
  s.WindowsState = ReadNonNegative(ini, "WindowsState", 1);
  ReadColumns(ini, "Col", s.Col);
  ReadColumns(ini, "ColMod", s.ColMod);
  s.Known = true;
  return s;
}

bool WriteDialogWindowState(TIniFile& ini, const TDialogWindowState& state) {
  if (!state.Known) return true;
  try {
    if (state.WindowsState == 1) {
      ini.WriteInteger(Section, "Width", state.Width);
      ini.WriteInteger(Section, "Height", state.Height);
      ini.WriteInteger(Section, "Left", std::max(state.Left, 0));
      ini.WriteInteger(Section, "Top", std::max(state.Top, 0));
    }
    ini.WriteInteger(Section, "WindowsState", state.WindowsState);
    WriteColumns(ini, "Col", state.Col);
    WriteColumns(ini, "ColMod", state.ColMod);
  } catch (const EIniFileException&) {
    return false;
  }
  return true;
}

TDialogRect PlaceDialogWindow(const TDialogWindowState& state, int bottomBand, int screenWidth,
                              int screenHeight) {
  TDialogRect r;
  r.Width = state.Width;
  r.Height = state.Height + bottomBand;
  r.Left = state.HasLeft ? state.Left : (screenWidth - r.Width) / 2;
  r.Top = state.HasTop ? state.Top : (screenHeight - r.Height) / 2;
  if (r.Left + r.Width > screenWidth) r.Left = screenWidth - r.Width;
  if (r.Top + r.Height > screenHeight) r.Top = screenHeight - r.Height;
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  return r;
}

#include "platform/gui/LocaleFormat.h"

#include <cctype>

namespace {

// Characters that mean something in the FormatDateTime language.
bool IsPatternCharacter(char c) {
  if (c == '/' || c == ':' || c == '"' || c == '\'') return true;
  switch (std::tolower(static_cast<unsigned char>(c))) {
    case 'a': case 'c': case 'd': case 'h': case 'm': case 'n':
    case 's': case 't': case 'y': case 'z':
      return true;
    default:
      return false;
  }
}

void AppendLiteral(std::string& out, char c) {
  if (c == '"')
    out += "'\"'";
  else if (IsPatternCharacter(c))
    out += std::string("\"") + c + '"';
  else
    out += c;
}

// Copies a quoted run of the picture ('' inside quotes is one quote) as literal text.
size_t CopyQuoted(std::string_view picture, size_t at, std::string& out) {
  size_t i = at + 1;
  std::string text;
  while (i < picture.size()) {
    if (picture[i] == '\'') {
      if (i + 1 < picture.size() && picture[i + 1] == '\'') {
        text += '\'';
        i += 2;
        continue;
      }
      ++i;
      break;
    }
    text += picture[i++];
  }
  for (char c : text) AppendLiteral(out, c);
  return i;
}

size_t Run(std::string_view picture, size_t at) {
  size_t i = at;
  while (i < picture.size() && picture[i] == picture[at]) ++i;
  return i - at;
}

}  // namespace

std::string ConvertLocaleDateFormat(std::string_view picture, char dateSeparator) {
  std::string out;
  size_t i = 0;
  while (i < picture.size()) {
    const char c = picture[i];
    if (c == '\'') {
      i = CopyQuoted(picture, i, out);
      continue;
    }
    if (dateSeparator && c == dateSeparator) {
      out += '/';
      ++i;
      continue;
    }
    const size_t n = Run(picture, i);
    switch (c) {
      case 'd':
        out.append(n > 4 ? 4 : n, 'd');
        break;
      case 'M':
        out.append(n > 4 ? 4 : n, 'm');
        break;
      case 'y':
        out += n <= 2 ? "yy" : "yyyy";
        break;
      case 'g':
        break;
      default:
        for (size_t k = 0; k < n; ++k) AppendLiteral(out, c);
        break;
    }
    i += n;
  }
  return out;
}

std::string ConvertLocaleTimeFormat(std::string_view picture, char timeSeparator) {
  bool twelveHour = false;
  for (size_t i = 0; i < picture.size(); ++i) {
    if (picture[i] == '\'') {
      std::string ignored;
      i = CopyQuoted(picture, i, ignored) - 1;
    } else if (picture[i] == 'h') {
      twelveHour = true;
    }
  }
  std::string out;
  size_t i = 0;
  while (i < picture.size()) {
    const char c = picture[i];
    if (c == '\'') {
      i = CopyQuoted(picture, i, out);
      continue;
    }
    if (timeSeparator && c == timeSeparator) {
      out += ':';
      ++i;
      continue;
    }
    const size_t n = Run(picture, i);
    switch (c) {
      case 'h':
      case 'H':
        out += n == 1 ? "h" : "hh";
        break;
      case 'm':
        out += n == 1 ? "n" : "nn";
        break;
      case 's':
        out += n == 1 ? "s" : "ss";
        break;
      case 't':
        if (twelveHour) out += "AMPM";
        break;
      default:
        for (size_t k = 0; k < n; ++k) AppendLiteral(out, c);
        break;
    }
    i += n;
  }
  // A 12-hour picture without a marker would read as 24-hour hours in our language.
  if (twelveHour && out.find("AMPM") == std::string::npos) out += " AMPM";
  return out;
}

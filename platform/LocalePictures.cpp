#include "platform/LocalePictures.h"

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

namespace {

// Walks a locale picture: quoted text is copied, the locale's separator becomes ours, and every
// run of one letter goes to the converter, which appends our pattern for it and returns false
// for a letter it does not know (copied as a literal).
template <typename ConvertRun>
std::string ConvertPicture(std::string_view picture, char separator, char ourSeparator,
                           ConvertRun convertRun) {
  std::string out;
  size_t i = 0;
  while (i < picture.size()) {
    const char c = picture[i];
    if (c == '\'') {
      i = CopyQuoted(picture, i, out);
      continue;
    }
    if (separator && c == separator) {
      out += ourSeparator;
      ++i;
      continue;
    }
    const size_t n = Run(picture, i);
    if (!convertRun(c, n, out))
      for (size_t k = 0; k < n; ++k) AppendLiteral(out, c);
    i += n;
  }
  return out;
}

}  // namespace

std::string ConvertLocaleDateFormat(std::string_view picture, char dateSeparator) {
  return ConvertPicture(picture, dateSeparator, '/', [](char c, size_t n, std::string& out) {
    switch (c) {
      case 'd':
        out.append(n > 4 ? 4 : n, 'd');
        return true;
      case 'M':
        out.append(n > 4 ? 4 : n, 'm');
        return true;
      case 'y':
        out += n <= 2 ? "yy" : "yyyy";
        return true;
      case 'g':
        return true;
      default:
        return false;
    }
  });
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
  std::string out = ConvertPicture(picture, timeSeparator, ':', [&](char c, size_t n, std::string& o) {
    switch (c) {
      case 'h':
      case 'H':
        o += n == 1 ? "h" : "hh";
        return true;
      case 'm':
        o += n == 1 ? "n" : "nn";
        return true;
      case 's':
        o += n == 1 ? "s" : "ss";
        return true;
      case 't':
        if (twelveHour) o += "AMPM";
        return true;
      default:
        return false;
    }
  });
  // A 12-hour picture without a marker would read as 24-hour hours in our language.
  if (twelveHour && out.find("AMPM") == std::string::npos) out += " AMPM";
  return out;
}

// Runtime exceptions that carry a message and a class name with its ancestry, and Format.
#pragma once

#include <cstdarg>
#include <exception>
#include <string>
#include <string_view>

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }
  virtual const char* ClassName() const noexcept { return "Exception"; }
  // True for this class and each of its ancestors, by class name.
  virtual bool InheritsFrom(std::string_view className) const noexcept {
    return className == "Exception";
  }

 private:
  std::string message_;
};

#define DM_DECLARE_EXCEPTION(Name, Base)                                    \
  class Name : public Base {                                                \
   public:                                                                  \
    using Base::Base;                                                       \
    const char* ClassName() const noexcept override { return #Name; }       \
    bool InheritsFrom(std::string_view className) const noexcept override { \
      return className == #Name || Base::InheritsFrom(className);           \
    }                                                                       \
  };

DM_DECLARE_EXCEPTION(EConvertError, Exception)
DM_DECLARE_EXCEPTION(EAbort, Exception)
DM_DECLARE_EXCEPTION(EListError, Exception)
DM_DECLARE_EXCEPTION(ERegistryException, Exception)

// printf-style formatting into a std::string.
#ifdef _WIN32
#define DM_PRINTF_FORMAT gnu_printf
#else
#define DM_PRINTF_FORMAT printf
#endif
std::string Format(const char* format, ...) __attribute__((format(DM_PRINTF_FORMAT, 1, 2)));
std::string FormatV(const char* format, va_list args);

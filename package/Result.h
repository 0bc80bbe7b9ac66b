// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace mw {

// The outcome of reading untrusted input: either a value or a text that says what was wrong
// (which file, which field, which byte offset), never both.
template <class T>
class Result {
 public:
  static Result Ok(T value) {
    Result r;
    r.value_.emplace(std::move(value));
    return r;
  }
  static Result Fail(std::string error) {
    Result r;
    r.error_ = std::move(error);
    return r;
  }

  explicit operator bool() const { return value_.has_value(); }
  bool ok() const { return value_.has_value(); }
  const T& value() const& { return *value_; }
  T& value() & { return *value_; }
  T&& value() && { return std::move(*value_); }
  const T& operator*() const { return *value_; }
  T& operator*() { return *value_; }
  const T* operator->() const { return &*value_; }
  T* operator->() { return &*value_; }
  const std::string& error() const { return error_; }

 private:
  Result() = default;
  std::optional<T> value_;
  std::string error_;
};

// The outcome of an operation that gives nothing back but may fail with a reason.
template <>
class Result<void> {
 public:
  static Result Ok() { return Result(); }
  static Result Fail(std::string error) {
    Result r;
    r.failed_ = true;
    r.error_ = std::move(error);
    return r;
  }

  explicit operator bool() const { return !failed_; }
  bool ok() const { return !failed_; }
  const std::string& error() const { return error_; }

 private:
  Result() = default;
  bool failed_ = false;
  std::string error_;
};

using Status = Result<void>;

}  // namespace mw

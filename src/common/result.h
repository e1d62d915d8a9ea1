#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <variant>

// Why something could not be done. The kind says what the caller can do
// about it; the text is the system's own words for it.
struct Failure {
    enum class Kind {
        Failed,         // anything else
        Unreadable,     // the file cannot be read
        TargetRefused,  // the target folder cannot take the file
        NotReleased,    // the file cannot be taken out of its folder
        SameFile,       // the target is the file itself
        NotOrdinary,    // a link, a folder, a pipe or a device, not an ordinary file
        Stopped,        // asked to stop before it was done; nothing is half done
        Held,           // another holder has it (a lock)
    };
    Kind kind = Kind::Failed;
    int error = 0;  // the system's error number; 0 when there is none
    QString text;

    // A full disk, a quota or an I/O error may pass without the file changing.
    bool isTransient() const;
};

// A value, or the failure that took its place. Dropping it unread is a fault.
template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : value_(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(value_); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return std::get<T>(value_); }
    T& value() { return std::get<T>(value_); }
    const T& operator*() const { return value(); }
    const T* operator->() const { return &value(); }
    const Failure& failure() const { return std::get<Failure>(value_); }

  private:
    std::variant<T, Failure> value_;
};

// Done, or the failure that kept it from being done.
template <>
class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(Failure failure) : failure_(std::move(failure)) {}

    bool ok() const { return !failure_; }
    explicit operator bool() const { return ok(); }
    const Failure& failure() const { return *failure_; }

  private:
    std::optional<Failure> failure_;
};

using Status = Result<void>;

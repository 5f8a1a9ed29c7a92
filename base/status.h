#pragma once
// The one way the core reports failure: an operation that can fail returns a
// Status (nothing else to say) or a Result<T> (a value on success), and a
// failure carries a message the user can read. Both are [[nodiscard]], so a
// result is either handled or skipped on purpose with skipOnError().
#include <optional>
#include <string>
#include <utility>

namespace brindle::base {

class [[nodiscard]] Status {
  public:
    static Status success() { return Status(); }
    static Status failure(std::string message) { return Status(std::move(message)); }

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    const std::string& message() const { return m_message; }

  private:
    Status() = default;
    explicit Status(std::string message) : m_ok(false), m_message(std::move(message)) {}
    bool m_ok = true;
    std::string m_message;
};

template <class T>
class [[nodiscard]] Result {
  public:
    Result(T value) : m_value(std::move(value)), m_status(Status::success()) {}
    Result(Status failure) : m_status(std::move(failure)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& operator*() const { return *m_value; }
    T& operator*() { return *m_value; }
    const T* operator->() const { return &*m_value; }
    T* operator->() { return &*m_value; }
    const T& value() const { return *m_value; }
    T valueOr(T fallback) const { return m_value ? *m_value : std::move(fallback); }
    // The failure; success when there is a value.
    const Status& status() const { return m_status; }
    const std::string& message() const { return m_status.message(); }

  private:
    std::optional<T> m_value;
    Status m_status;
};

// Marks a step whose failure is skipped without a message, as start-up, the
// listings and the controller operations do with a file or port step that
// fails: the next step runs.
inline void skipOnError(const Status&) {}
template <class T>
void skipOnError(const Result<T>&) {}

}  // namespace brindle::base

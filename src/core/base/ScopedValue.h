#pragma once
// The program's one scope guard: a variable holds a value while a scope
// runs and gets its old value back when the scope ends, however it ends.
// It marks "busy", "loading" and nesting depth without a class per flag.

#include <utility>

namespace hb {

template <typename T>
class ScopedValue {
public:
    ScopedValue(T& variable, T value) : variable_(variable), old_(std::exchange(variable, std::move(value))) {}
    ~ScopedValue() { variable_ = std::move(old_); }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

private:
    T& variable_;
    T old_;
};

}  // namespace hb

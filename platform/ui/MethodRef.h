#pragma once

// Event handlers as method references: a handler is a callable of a fixed
// signature; a MethodRef holds one with its signature erased, so handlers
// can be read, cleared and put back by name. Two references are equal when
// they hold the very same handler (as code-and-object pairs compare).

#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <utility>

namespace corvane::ui {

class MethodRef {
public:
    MethodRef() = default;

    template <class Sig>
    static MethodRef of(std::function<Sig> fn) {
        MethodRef ref;
        if (fn) {
            ref.fn_ = std::make_shared<const std::function<Sig>>(std::move(fn));
            ref.signature_ = signatureOf<Sig>();
        }
        return ref;
    }

    explicit operator bool() const { return fn_ != nullptr; }
    bool isEmpty() const { return fn_ == nullptr; }

    // The handler when it has this signature, otherwise null.
    template <class Sig>
    const std::function<Sig>* target() const {
        if (!fn_ || signature_ != signatureOf<Sig>()) return nullptr;
        return static_cast<const std::function<Sig>*>(fn_.get());
    }

    const std::string& signature() const { return signature_; }

    friend bool operator==(const MethodRef& a, const MethodRef& b) { return a.fn_ == b.fn_; }

private:
    // The signature's name; compared as text so that references made in one
    // binary are recognised in another.
    template <class Sig>
    static const std::string& signatureOf() {
        static const std::string name = typeid(Sig).name();
        return name;
    }

    std::shared_ptr<const void> fn_;
    std::string signature_;
};

// An event of a component: empty or one handler of signature Sig.
template <class Sig>
class Event;

template <class... Args>
class Event<void(Args...)> {
public:
    using Signature = void(Args...);
    using Handler = std::function<Signature>;

    Event& operator=(Handler handler) {
        ref_ = MethodRef::of<Signature>(std::move(handler));
        return *this;
    }
    explicit operator bool() const { return !ref_.isEmpty(); }

    // Calls the handler when there is one.
    void operator()(Args... args) const {
        if (auto* fn = ref_.template target<Signature>()) (*fn)(std::forward<Args>(args)...);
    }

    const MethodRef& ref() const { return ref_; }
    // Takes a reference of the same signature (or none); false otherwise.
    bool assign(const MethodRef& ref) {
        if (!ref.isEmpty() && !ref.template target<Signature>()) return false;
        ref_ = ref;
        return true;
    }
    void clear() { ref_ = MethodRef(); }

private:
    MethodRef ref_;
};

}  // namespace corvane::ui

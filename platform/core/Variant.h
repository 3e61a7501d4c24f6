#pragma once

// The module's dynamic value: empty, null, integer, float, boolean, date,
// byte string (GBK), UTF-16 string, arrays of one or two dimensions with
// their own bounds, a dispatch reference, and by-reference argument cells.
//
// Arrays have value semantics (copy on write): assigning a variant that
// holds an array and then changing one copy never changes the other.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace corvane {

class Dispatch;
using DispatchRef = std::shared_ptr<Dispatch>;

enum class VarType : std::uint8_t {
    Empty,
    Null,
    Integer,
    Float,
    Boolean,
    Date,
    String,      // byte string, GBK inside the module
    WideString,  // UTF-16
    Array,
    Dispatch,
    ByRef,
};

const char* varTypeName(VarType type);

class Variant;
class VarArray;

// A date value: days since 1899-12-30, the time of day as the fraction.
struct DateValue {
    double days = 0;
    friend bool operator==(DateValue, DateValue) = default;
};

class Variant {
public:
    struct NullTag {
        friend bool operator==(NullTag, NullTag) { return true; }
    };

    Variant() = default;
    Variant(NullTag) : value_(NullTag{}) {}
    Variant(int v) : value_(static_cast<std::int64_t>(v)) {}
    Variant(long v) : value_(static_cast<std::int64_t>(v)) {}
    Variant(long long v) : value_(static_cast<std::int64_t>(v)) {}
    Variant(unsigned v) : value_(static_cast<std::int64_t>(v)) {}
    Variant(unsigned long v) : value_(static_cast<std::int64_t>(v)) {}
    Variant(double v) : value_(v) {}
    Variant(bool v) : value_(v) {}
    Variant(DateValue v) : value_(v) {}
    Variant(const char* v) : value_(std::string(v)) {}
    Variant(std::string v) : value_(std::move(v)) {}
    Variant(std::string_view v) : value_(std::string(v)) {}
    Variant(std::u16string v) : value_(std::move(v)) {}
    Variant(const char16_t* v) : value_(std::u16string(v)) {}
    Variant(DispatchRef v) : value_(std::move(v)) {}

    static Variant null() { return Variant(NullTag{}); }
    static Variant date(double days) { return Variant(DateValue{days}); }
    // One-dimensional array with bounds low..high, elements empty.
    static Variant array(int low, int high);
    // Two-dimensional array [low1..high1, low2..high2], elements empty.
    static Variant array2(int low1, int high1, int low2, int high2);
    // One-dimensional array indexed from 0 holding the given elements.
    static Variant arrayOf(std::initializer_list<Variant> items);
    static Variant arrayOf(std::vector<Variant> items);
    // A by-reference argument: the callee writes through it into the cell.
    static Variant ref(std::shared_ptr<Variant> cell);

    VarType type() const;
    bool isEmpty() const { return type() == VarType::Empty; }
    bool isNull() const { return type() == VarType::Null; }
    bool isNullOrEmpty() const { return isEmpty() || isNull(); }
    bool isArray() const { return type() == VarType::Array; }
    bool isString() const { return type() == VarType::String || type() == VarType::WideString; }
    bool isNumeric() const;
    bool isByRef() const { return type() == VarType::ByRef; }

    // Conversions. Empty converts to 0, "" or false; null to "" as text
    // and raises EVariantTypeCastError as a number; an unconvertible text
    // raises EVariantTypeCastError.
    std::string toString() const;      // GBK text
    std::u16string toWide() const;     // UTF-16 text
    std::int64_t toInt() const;        // floats and numeric texts round half away from zero
    double toDouble() const;
    bool toBool() const;
    DateValue toDate() const;

    // Direct access; raise EVariantTypeCastError for another kind.
    const std::string& asString() const;
    const std::u16string& asWide() const;
    const DispatchRef& asDispatch() const;

    // Arrays.
    int dimCount() const;
    int lowBound(int dim = 1) const;
    int highBound(int dim = 1) const;
    int length(int dim = 1) const { return highBound(dim) - lowBound(dim) + 1; }
    const Variant& operator[](int index) const;
    Variant& at(int index);
    const Variant& at(int i, int j) const;
    Variant& at(int i, int j);
    const VarArray& array() const;
    VarArray& mutableArray();

    // By-reference cells: deref() is the cell's value (the variant itself
    // when it is no reference); assignThrough() writes into the cell, or
    // replaces the variant itself when it is no reference.
    const Variant& deref() const;
    Variant& deref();
    void assignThrough(Variant value);

    friend bool operator==(const Variant& a, const Variant& b);

private:
    using Storage = std::variant<std::monostate, NullTag, std::int64_t, double, bool, DateValue,
                                 std::string, std::u16string, std::shared_ptr<VarArray>,
                                 DispatchRef, std::shared_ptr<Variant>>;
    Storage value_;
    friend class VarArray;
};

// The elements of an array variant, row-major for two dimensions.
class VarArray {
public:
    struct Bounds {
        int low = 0;
        int high = -1;
        int count() const { return high >= low ? high - low + 1 : 0; }
        friend bool operator==(Bounds, Bounds) = default;
    };

    explicit VarArray(std::vector<Bounds> bounds);

    int dimCount() const { return static_cast<int>(bounds_.size()); }
    const Bounds& bounds(int dim) const;  // dim from 1
    const std::vector<Variant>& elements() const { return elements_; }
    std::vector<Variant>& elements() { return elements_; }

    const Variant& at(int index) const { return elements_[offset(index)]; }
    Variant& at(int index) { return elements_[offset(index)]; }
    const Variant& at(int i, int j) const { return elements_[offset(i, j)]; }
    Variant& at(int i, int j) { return elements_[offset(i, j)]; }

    // Grows or shrinks the last dimension's high bound, keeping elements.
    void redim(int high);

    friend bool operator==(const VarArray&, const VarArray&) = default;

private:
    std::size_t offset(int index) const;
    std::size_t offset(int i, int j) const;

    std::vector<Bounds> bounds_;
    std::vector<Variant> elements_;
};

inline const Variant::NullTag VarNull{};

}  // namespace corvane

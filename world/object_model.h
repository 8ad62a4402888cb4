// Run-time classes: every object class carries its name, its base, a factory and its
// fields (name, type, accessor) in declaration order. The quick save and the state hash
// walk these descriptions; no class has save code of its own.
//
// Declaring a class:
//   class TFoo : public TActor {
//    public:
//     int32_t Speed = 0;
//     std::array<uint8_t, 4> Lights{};
//     std::vector<TSpriteFrame> Shapes;  // rebuilt from the class, never saved
//     ZYNTRA_CLASS(TFoo)
//   };
// and in its .cpp:
//   ZYNTRA_DEFINE_CLASS(TFoo, TActor, ZYNTRA_FIELD_RANGE(TFoo, Speed, -8, 8),
//                       ZYNTRA_FIELD(TFoo, Lights), ZYNTRA_FIELD_UNSAVED(TFoo, Shapes))
// and a line in its family's class list (actors/), which InstallActors registers, so that
// the class can be found by name.
//
// Every data member is listed, in declaration order:
// - ZYNTRA_FIELD for a value the quick save keeps: a number (uint8_t, uint16_t, int32_t,
//   int64_t, float, double), a std::string, a std::vector or a fixed-size array
//   (std::array or a C array) of uint8_t, uint16_t or int32_t, or a std::shared_ptr to a
//   list entry (kept as a reference to the entry). Any other type does not compile.
// - ZYNTRA_FIELD_RANGE(TFoo, Speed, -8, 8) for a value that the class's tick needs within
//   narrower bounds than its type's default range: a quick save holding anything else is
//   refused.
// - ZYNTRA_FIELD_UNSAVED for a member that a quick save leaves out on purpose (sprite frame
//   lists the class rebuilds, links into the running program, drawing-only state): it is
//   neither saved nor hashed. Play state never belongs here: a quick load would lose it.
// A member that is not listed at all is caught by the layout check (LayoutProblem; run over
// every class by the tests and at registration in debug builds), which finds the bytes of an
// object that no listed field accounts for.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

class TObject;
class TActorListEntry;
using PObject = std::shared_ptr<TObject>;
using PActorListEntry = std::shared_ptr<TActorListEntry>;

enum class TFieldType : uint8_t {
  Byte,
  Short,
  Int,
  Long,
  Float,
  Double,
  String,
  ByteArray,
  ShortArray,
  IntArray,
  Reference,  // to a TActorListEntry or a class derived from it
  Other,      // left out on purpose (ZYNTRA_FIELD_UNSAVED): neither saved nor hashed
};

class TClassInfo;

struct TFieldInfo {
  std::string Name;
  TFieldType Type = TFieldType::Other;
  std::string TypeName;  // "Byte" ... "String", "Int[]"; the class name of a reference
  // The field's storage inside an object of the declaring class (not for references); the
  // first element of a fixed-size array.
  std::function<void*(TObject&)> Address;
  // The length of a fixed-size array (its storage holds exactly that many elements); 0 for
  // a vector and for every other type.
  size_t FixedLength = 0;
  // The member's bytes in an object, for every kind of field (the layout check).
  std::function<const void*(const TObject&)> Storage;
  size_t Size = 0;
  size_t Align = 1;
  // References only.
  std::function<PActorListEntry(TObject&)> GetReference;
  std::function<bool(TObject&, const PActorListEntry&)> SetReference;  // false: wrong class
  // The values the class can hold, checked when a quick save is read (FieldOutOfRange): a
  // number, or each element of an array, lies in [Min, Max]; a string is at most Max bytes
  // long. By default the whole range of a byte or short, +-DefaultIntBound for an int (the
  // tick's additions and small multiples cannot overflow from there), +-DefaultLongBound
  // for a long; classes give tighter ranges with ZYNTRA_FIELD_RANGE. An array has the
  // length that the class's factory gives it, or any length up to MaxArrayLength when that
  // is empty; a fixed-size array cannot be read with any length but its own.
  int64_t Min = 0;
  int64_t Max = 0;
};

constexpr int64_t DefaultIntBound = int64_t(1) << 24;
constexpr int64_t DefaultLongBound = int64_t(1) << 48;
constexpr int64_t DefaultStringLength = 256;
constexpr size_t MaxArrayLength = 4096;

// The size and alignment of a class's objects, and which of their bytes construction sets.
struct TClassLayout {
  size_t Size = 0;
  size_t Align = 1;
  // One flag a byte, set where a newly constructed object holds a value (members; not
  // alignment padding). Empty for classes that cannot be created.
  std::function<std::vector<bool>()> ConstructedBytes;
};

class TClassInfo {
 public:
  TClassInfo(std::string name, const TClassInfo* base, std::function<PObject()> factory,
             std::vector<TFieldInfo> fields, TClassLayout layout = {});

  const std::string& Name() const { return ClassName; }
  const TClassInfo* Base() const { return BaseClass; }
  bool IsAbstract() const { return !Factory; }
  PObject Create() const { return Factory ? Factory() : nullptr; }
  // Own fields only, in declaration order.
  const std::vector<TFieldInfo>& OwnFields() const { return Fields; }
  // All fields, base class first.
  std::vector<const TFieldInfo*> AllFields() const;
  const TFieldInfo* FindField(const std::string& name) const;
  bool IsA(const TClassInfo& other) const;
  const TClassLayout& Layout() const { return ObjectLayout; }

 private:
  std::string ClassName;
  const TClassInfo* BaseClass;
  std::function<PObject()> Factory;
  std::vector<TFieldInfo> Fields;
  TClassLayout ObjectLayout;
};

// The root of every object class.
class TObject : public std::enable_shared_from_this<TObject> {
 public:
  virtual ~TObject() = default;
  static const TClassInfo& StaticClass();
  virtual const TClassInfo& Class() const { return StaticClass(); }
  const std::string& ClassName() const { return Class().Name(); }
  bool IsA(const TClassInfo& cls) const { return Class().IsA(cls); }
  template <class T>
  bool Is() const {
    return IsA(T::StaticClass());
  }
};

// Every class that can be created by name: the world's own (CoreClasses), then those
// registered (the actor families at start-up, test fixtures).
const std::vector<const TClassInfo*>& AllClasses();
std::vector<const TClassInfo*> CoreClasses();
const TClassInfo* FindClass(const std::string& name);
// In debug builds a class whose layout check fails stops the program here (see
// LayoutProblem).
void RegisterClass(const TClassInfo& cls);

// Bytes of an object of the class that none of its fields (listed or marked unsaved, its
// own and its bases') accounts for, beyond the padding that alignment puts between fields
// and at the end, as "TClass: bytes 61 to 63 of 64 ..."; empty when the fields cover the
// object. A member that is missing from the class's list shows up here. Classes that
// cannot be created are not checked.
std::string LayoutProblem(const TClassInfo& cls);

// --- Declaration helpers ---------------------------------------------------------------

template <class T>
struct TFieldTypeOf {
  static constexpr TFieldType Value = TFieldType::Other;
};
template <>
struct TFieldTypeOf<uint8_t> {
  static constexpr TFieldType Value = TFieldType::Byte;
};
template <>
struct TFieldTypeOf<uint16_t> {
  static constexpr TFieldType Value = TFieldType::Short;
};
template <>
struct TFieldTypeOf<int32_t> {
  static constexpr TFieldType Value = TFieldType::Int;
};
template <>
struct TFieldTypeOf<int64_t> {
  static constexpr TFieldType Value = TFieldType::Long;
};
template <>
struct TFieldTypeOf<float> {
  static constexpr TFieldType Value = TFieldType::Float;
};
template <>
struct TFieldTypeOf<double> {
  static constexpr TFieldType Value = TFieldType::Double;
};
template <>
struct TFieldTypeOf<std::string> {
  static constexpr TFieldType Value = TFieldType::String;
};
template <>
struct TFieldTypeOf<std::vector<uint8_t>> {
  static constexpr TFieldType Value = TFieldType::ByteArray;
};
template <>
struct TFieldTypeOf<std::vector<uint16_t>> {
  static constexpr TFieldType Value = TFieldType::ShortArray;
};
template <>
struct TFieldTypeOf<std::vector<int32_t>> {
  static constexpr TFieldType Value = TFieldType::IntArray;
};

// Fixed-size arrays are saved as the vectors of their element type are.
template <class E, size_t N>
struct TFieldTypeOf<std::array<E, N>> : TFieldTypeOf<std::vector<E>> {};
template <class E, size_t N>
struct TFieldTypeOf<E[N]> : TFieldTypeOf<std::vector<E>> {};

template <class T>
struct TFixedArrayLength {
  static constexpr size_t Value = 0;
};
template <class E, size_t N>
struct TFixedArrayLength<std::array<E, N>> {
  static constexpr size_t Value = N;
};
template <class E, size_t N>
struct TFixedArrayLength<E[N]> {
  static constexpr size_t Value = N;
};

const char* FieldTypeName(TFieldType type);

void SetDefaultRange(TFieldInfo& field);
TFieldInfo InRange(TFieldInfo field, int64_t min, int64_t max);

// The elements of an array field of element type T (uint8_t for ByteArray, uint16_t for
// ShortArray, int32_t for IntArray), whether a vector or a fixed-size array.
template <class T>
std::span<T> ArrayElements(const TFieldInfo& field, TObject& object) {
  void* p = field.Address(object);
  if (field.FixedLength) return {static_cast<T*>(p), field.FixedLength};
  auto& v = *static_cast<std::vector<T>*>(p);
  return {v.data(), v.size()};
}

// The first field of the object whose value its class cannot hold, as
// "TClass.Field = value (range)"; empty when every field is within its range.
std::string FieldOutOfRange(TObject& object);

template <class T>
struct TIsSharedPtr : std::false_type {
  using Element = void;
};
template <class T>
struct TIsSharedPtr<std::shared_ptr<T>> : std::true_type {
  using Element = T;
};

// The types a listed field may have (see the top of this file).
template <class T>
constexpr bool QuickSaveHolds = TFieldTypeOf<T>::Value != TFieldType::Other;

template <class C, class T>
void SetStorage(TFieldInfo& field, T C::*member) {
  field.Storage = [member](const TObject& object) -> const void* {
    return &(static_cast<const C&>(object).*member);
  };
  field.Size = sizeof(T);
  field.Align = alignof(T);
}

template <class C, class T>
TFieldInfo MakeField(const char* name, T C::*member) {
  TFieldInfo field;
  field.Name = name;
  SetStorage(field, member);
  if constexpr (TIsSharedPtr<T>::value &&
                std::is_base_of_v<TActorListEntry, typename TIsSharedPtr<T>::Element>) {
    using E = typename TIsSharedPtr<T>::Element;
    field.Type = TFieldType::Reference;
    field.TypeName = E::StaticClass().Name();
    field.GetReference = [member](TObject& object) -> PActorListEntry {
      return static_cast<C&>(object).*member;
    };
    field.SetReference = [member](TObject& object, const PActorListEntry& target) {
      auto cast = std::dynamic_pointer_cast<E>(target);
      if (target && !cast) return false;
      static_cast<C&>(object).*member = cast;
      return true;
    };
  } else {
    static_assert(QuickSaveHolds<T>,
                  "the quick save cannot hold this field's type: give it a type it holds, or "
                  "list it with ZYNTRA_FIELD_UNSAVED when it is left out on purpose");
    constexpr size_t length = TFixedArrayLength<T>::Value;
    static_assert(length <= MaxArrayLength, "a fixed-size array longer than a save may hold");
    field.Type = TFieldTypeOf<T>::Value;
    field.TypeName = FieldTypeName(field.Type);
    field.FixedLength = length;
    SetDefaultRange(field);
    if constexpr (length > 0)
      field.Address = [member](TObject& object) -> void* {
        return std::data(static_cast<C&>(object).*member);
      };
    else
      field.Address = [member](TObject& object) -> void* {
        return &(static_cast<C&>(object).*member);
      };
  }
  return field;
}

// A member that quick saves and the state hash leave out on purpose.
template <class C, class T>
TFieldInfo MakeUnsavedField(const char* name, T C::*member) {
  TFieldInfo field;
  field.Name = name;
  SetStorage(field, member);
  field.Address = [member](TObject& object) -> void* { return &(static_cast<C&>(object).*member); };
  return field;
}

template <class C>
std::function<PObject()> MakeFactory() {
  if constexpr (std::is_abstract_v<C>) {
    return nullptr;
  } else {
    return [] { return std::static_pointer_cast<TObject>(std::make_shared<C>()); };
  }
}

// Construction sets every member (all have initial values) and leaves alignment padding
// alone: an object built twice over different fill bytes shows its members as the bytes
// that differ from the fill in either build.
template <class C>
TClassLayout MakeLayout() {
  TClassLayout layout{sizeof(C), alignof(C), nullptr};
  if constexpr (!std::is_abstract_v<C> && std::is_default_constructible_v<C>) {
    layout.ConstructedBytes = [] {
      std::vector<bool> set(sizeof(C), false);
      for (unsigned char fill : {uint8_t(0xA5), uint8_t(0x5A)}) {
        alignas(C) unsigned char storage[sizeof(C)];
        for (unsigned char& b : storage) b = fill;
        C* object = new (storage) C;
        for (size_t i = 0; i < sizeof(C); ++i)
          if (storage[i] != fill) set[i] = true;
        object->~C();
      }
      return set;
    };
  }
  return layout;
}

#define ZYNTRA_CLASS(ClassName)           \
 public:                                  \
  static const TClassInfo& StaticClass(); \
  const TClassInfo& Class() const override { return StaticClass(); }

#define ZYNTRA_FIELD(ClassName, FieldName) MakeField<ClassName>(#FieldName, &ClassName::FieldName)
// A field that holds only values in [Min, Max] (elements of an array; length of a string).
#define ZYNTRA_FIELD_RANGE(ClassName, FieldName, Min, Max) \
  InRange(MakeField<ClassName>(#FieldName, &ClassName::FieldName), Min, Max)
// A member left out of quick saves and the state hash on purpose (listed all the same, so
// that the layout check knows it).
#define ZYNTRA_FIELD_UNSAVED(ClassName, FieldName) \
  MakeUnsavedField<ClassName>(#FieldName, &ClassName::FieldName)

#define ZYNTRA_DEFINE_CLASS(ClassName, BaseName, ...)                                            \
  const TClassInfo& ClassName::StaticClass() {                                                   \
    static const TClassInfo info(#ClassName, &BaseName::StaticClass(), MakeFactory<ClassName>(), \
                                 std::vector<TFieldInfo>{__VA_ARGS__}, MakeLayout<ClassName>()); \
    return info;                                                                                 \
  }

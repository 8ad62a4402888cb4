// Run-time classes: every object class carries its name, its base, a factory and its
// fields (name, type, accessor) in declaration order. The quick save and the state hash
// walk these descriptions; no class has save code of its own.
//
// Declaring a class:
//   class TFoo : public TActor {
//    public:
//     int32_t Speed = 0;
//     ZYNTRA_CLASS(TFoo)
//   };
// and in its .cpp:
//   ZYNTRA_DEFINE_CLASS(TFoo, TActor, ZYNTRA_FIELD(TFoo, Speed))
// and a line in its family's class list (actors/), which InstallActors registers, so that
// the class can be found by name. A field whose
// value the class's tick needs within narrower bounds than its type's default range is
// declared with ZYNTRA_FIELD_RANGE(TFoo, Speed, -8, 8): a quick save holding anything else
// is refused.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
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
  Other,      // anything else (frames, links): neither saved nor hashed
};

class TClassInfo;

struct TFieldInfo {
  std::string Name;
  TFieldType Type = TFieldType::Other;
  std::string TypeName;  // "Byte" ... "String", "Int[]"; the class name of a reference
  // The field's storage inside an object of the declaring class (not for references).
  std::function<void*(TObject&)> Address;
  // References only.
  std::function<PActorListEntry(TObject&)> GetReference;
  std::function<bool(TObject&, const PActorListEntry&)> SetReference;  // false: wrong class
  // The values the class can hold, checked when a quick save is read (FieldOutOfRange): a
  // number, or each element of an array, lies in [Min, Max]; a string is at most Max bytes
  // long. By default the whole range of a byte or short, +-DefaultIntBound for an int (the
  // tick's additions and small multiples cannot overflow from there), +-DefaultLongBound
  // for a long; classes give tighter ranges with ZYNTRA_FIELD_RANGE. An array has the
  // length that the class's factory gives it, or any length up to MaxArrayLength when that
  // is empty.
  int64_t Min = 0;
  int64_t Max = 0;
};

constexpr int64_t DefaultIntBound = int64_t(1) << 24;
constexpr int64_t DefaultLongBound = int64_t(1) << 48;
constexpr int64_t DefaultStringLength = 256;
constexpr size_t MaxArrayLength = 4096;

class TClassInfo {
 public:
  TClassInfo(std::string name, const TClassInfo* base, std::function<PObject()> factory,
             std::vector<TFieldInfo> fields);

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

 private:
  std::string ClassName;
  const TClassInfo* BaseClass;
  std::function<PObject()> Factory;
  std::vector<TFieldInfo> Fields;
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
void RegisterClass(const TClassInfo& cls);

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

const char* FieldTypeName(TFieldType type);

void SetDefaultRange(TFieldInfo& field);
TFieldInfo InRange(TFieldInfo field, int64_t min, int64_t max);

// The first field of the object whose value its class cannot hold, as
// "TClass.Field = value (range)"; empty when every field is within its range.
std::string FieldOutOfRange(TObject& object);

template <class T>
struct TIsSharedPtr : std::false_type {};
template <class T>
struct TIsSharedPtr<std::shared_ptr<T>> : std::true_type {
  using Element = T;
};

template <class C, class T>
TFieldInfo MakeField(const char* name, T C::*member) {
  TFieldInfo field;
  field.Name = name;
  if constexpr (TIsSharedPtr<T>::value) {
    using E = typename TIsSharedPtr<T>::Element;
    if constexpr (std::is_base_of_v<TActorListEntry, E>) {
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
      return field;
    }
  }
  field.Type = TFieldTypeOf<T>::Value;
  field.TypeName = field.Type == TFieldType::Other ? "" : FieldTypeName(field.Type);
  SetDefaultRange(field);
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

#define ZYNTRA_CLASS(ClassName)           \
 public:                                  \
  static const TClassInfo& StaticClass(); \
  const TClassInfo& Class() const override { return StaticClass(); }

#define ZYNTRA_FIELD(ClassName, FieldName) MakeField<ClassName>(#FieldName, &ClassName::FieldName)
// A field that holds only values in [Min, Max] (elements of an array; length of a string).
#define ZYNTRA_FIELD_RANGE(ClassName, FieldName, Min, Max) \
  InRange(MakeField<ClassName>(#FieldName, &ClassName::FieldName), Min, Max)

#define ZYNTRA_DEFINE_CLASS(ClassName, BaseName, ...)                                            \
  const TClassInfo& ClassName::StaticClass() {                                                   \
    static const TClassInfo info(#ClassName, &BaseName::StaticClass(), MakeFactory<ClassName>(), \
                                 std::vector<TFieldInfo>{__VA_ARGS__});                          \
    return info;                                                                                 \
  }

#include "world/object_model.h"

#include <cmath>

TClassInfo::TClassInfo(std::string name, const TClassInfo* base, std::function<PObject()> factory,
                       std::vector<TFieldInfo> fields)
    : ClassName(std::move(name)),
      BaseClass(base),
      Factory(std::move(factory)),
      Fields(std::move(fields)) {}

std::vector<const TFieldInfo*> TClassInfo::AllFields() const {
  std::vector<const TFieldInfo*> all =
      BaseClass ? BaseClass->AllFields() : std::vector<const TFieldInfo*>{};
  for (const TFieldInfo& f : Fields) all.push_back(&f);
  return all;
}

const TFieldInfo* TClassInfo::FindField(const std::string& name) const {
  // The most derived declaration wins when a name repeats.
  for (const TFieldInfo& f : Fields)
    if (f.Name == name) return &f;
  return BaseClass ? BaseClass->FindField(name) : nullptr;
}

bool TClassInfo::IsA(const TClassInfo& other) const {
  for (const TClassInfo* c = this; c; c = c->BaseClass)
    if (c == &other) return true;
  return false;
}

const TClassInfo& TObject::StaticClass() {
  static const TClassInfo info("TObject", nullptr, nullptr, {});
  return info;
}

const char* FieldTypeName(TFieldType type) {
  switch (type) {
    case TFieldType::Byte: return "Byte";
    case TFieldType::Short: return "Short";
    case TFieldType::Int: return "Int";
    case TFieldType::Long: return "Long";
    case TFieldType::Float: return "Float";
    case TFieldType::Double: return "Double";
    case TFieldType::String: return "String";
    case TFieldType::ByteArray: return "Byte[]";
    case TFieldType::ShortArray: return "Short[]";
    case TFieldType::IntArray: return "Int[]";
    case TFieldType::Reference: return "Reference";
    case TFieldType::Other: return "";
  }
  return "";
}

namespace {
std::vector<const TClassInfo*>& Registry() {
  static std::vector<const TClassInfo*> classes = CoreClasses();
  return classes;
}
}  // namespace

const std::vector<const TClassInfo*>& AllClasses() { return Registry(); }

void RegisterClass(const TClassInfo& cls) {
  if (!FindClass(cls.Name())) Registry().push_back(&cls);
}

const TClassInfo* FindClass(const std::string& name) {
  for (const TClassInfo* c : Registry())
    if (c->Name() == name) return c;
  return nullptr;
}

// --- Field ranges ----------------------------------------------------------------------

void SetDefaultRange(TFieldInfo& f) {
  switch (f.Type) {
    case TFieldType::Byte:
    case TFieldType::ByteArray:
      f.Min = 0;
      f.Max = UINT8_MAX;
      break;
    case TFieldType::Short:
    case TFieldType::ShortArray:
      f.Min = 0;
      f.Max = UINT16_MAX;
      break;
    case TFieldType::Int:
    case TFieldType::IntArray:
    case TFieldType::Float:
    case TFieldType::Double:
      f.Min = -DefaultIntBound;
      f.Max = DefaultIntBound;
      break;
    case TFieldType::Long:
      f.Min = -DefaultLongBound;
      f.Max = DefaultLongBound;
      break;
    case TFieldType::String:
      f.Min = 0;
      f.Max = DefaultStringLength;
      break;
    default: break;
  }
}

TFieldInfo InRange(TFieldInfo field, int64_t min, int64_t max) {
  field.Min = min;
  field.Max = max;
  return field;
}

namespace {

// Built by appending: GCC 12 warns falsely (-Wrestrict) about chains of string additions.
std::string Describe(const TObject& object, const TFieldInfo& f, const std::string& value) {
  std::string text = object.ClassName();
  text += '.';
  text += f.Name;
  text += " = ";
  text += value;
  text += " (allowed ";
  text += std::to_string(f.Min);
  text += " to ";
  text += std::to_string(f.Max);
  text += ')';
  return text;
}

template <class T>
std::string ArrayOutOfRange(TObject& object, const TFieldInfo& f) {
  const auto& values = *static_cast<std::vector<T>*>(f.Address(object));
  // Fixed-size arrays: the length the class makes them with.
  size_t length = 0;
  if (PObject prototype = object.Class().Create())
    length = static_cast<std::vector<T>*>(f.Address(*prototype))->size();
  if (length ? values.size() != length : values.size() > MaxArrayLength) {
    std::string text = object.ClassName();
    text += '.';
    text += f.Name;
    text += " has ";
    text += std::to_string(values.size());
    text += length ? " elements (the class holds " : " elements (at most ";
    text += std::to_string(length ? length : MaxArrayLength);
    text += ')';
    return text;
  }
  for (size_t i = 0; i < values.size(); ++i)
    if (int64_t(values[i]) < f.Min || int64_t(values[i]) > f.Max) {
      std::string value = "[";
      value += std::to_string(i);
      value += "] ";
      value += std::to_string(values[i]);
      return Describe(object, f, value);
    }
  return "";
}

}  // namespace

std::string FieldOutOfRange(TObject& object) {
  for (const TFieldInfo* f : object.Class().AllFields()) {
    if (!f->Address) continue;
    void* p = f->Address(object);
    int64_t value = 0;
    switch (f->Type) {
      case TFieldType::Byte: value = *static_cast<uint8_t*>(p); break;
      case TFieldType::Short: value = *static_cast<uint16_t*>(p); break;
      case TFieldType::Int: value = *static_cast<int32_t*>(p); break;
      case TFieldType::Long: value = *static_cast<int64_t*>(p); break;
      case TFieldType::Float:
      case TFieldType::Double: {
        double d = f->Type == TFieldType::Float ? double(*static_cast<float*>(p))
                                                : *static_cast<double*>(p);
        if (!std::isfinite(d) || d < double(f->Min) || d > double(f->Max))
          return Describe(object, *f, std::to_string(d));
        continue;
      }
      case TFieldType::String: {
        const auto& text = *static_cast<std::string*>(p);
        if (int64_t(text.size()) > f->Max)
          return Describe(object, *f, std::to_string(text.size()) + " bytes");
        continue;
      }
      case TFieldType::ByteArray: {
        std::string problem = ArrayOutOfRange<uint8_t>(object, *f);
        if (!problem.empty()) return problem;
        continue;
      }
      case TFieldType::ShortArray: {
        std::string problem = ArrayOutOfRange<uint16_t>(object, *f);
        if (!problem.empty()) return problem;
        continue;
      }
      case TFieldType::IntArray: {
        std::string problem = ArrayOutOfRange<int32_t>(object, *f);
        if (!problem.empty()) return problem;
        continue;
      }
      default: continue;
    }
    if (value < f->Min || value > f->Max) return Describe(object, *f, std::to_string(value));
  }
  return "";
}

#include "world/object_model.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>

#include "shell/log.h"

TClassInfo::TClassInfo(std::string name, const TClassInfo* base, std::function<PObject()> factory,
                       std::vector<TFieldInfo> fields, TClassLayout layout)
    : ClassName(std::move(name)),
      BaseClass(base),
      Factory(std::move(factory)),
      Fields(std::move(fields)),
      ObjectLayout(std::move(layout)) {}

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
  static const TClassInfo info("TObject", nullptr, nullptr, {},
                               TClassLayout{sizeof(TObject), alignof(TObject), nullptr});
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

// Debug builds stop at a class with a member that its list leaves out.
void CheckLayout([[maybe_unused]] const TClassInfo& cls) {
#ifndef NDEBUG
  std::string problem = LayoutProblem(cls);
  if (!problem.empty()) {
    LogLine("ERROR :: " + problem);
    std::fprintf(stderr, "%s\n", problem.c_str());
  }
  assert(problem.empty());
#endif
}

std::vector<const TClassInfo*>& Registry() {
  static std::vector<const TClassInfo*> classes = [] {
    std::vector<const TClassInfo*> core = CoreClasses();
    for (const TClassInfo* c : core) CheckLayout(*c);
    return core;
  }();
  return classes;
}

}  // namespace

const std::vector<const TClassInfo*>& AllClasses() { return Registry(); }

void RegisterClass(const TClassInfo& cls) {
  if (FindClass(cls.Name())) return;
  CheckLayout(cls);
  Registry().push_back(&cls);
}

const TClassInfo* FindClass(const std::string& name) {
  for (const TClassInfo* c : Registry())
    if (c->Name() == name) return c;
  return nullptr;
}

// --- Layout check ----------------------------------------------------------------------

std::string LayoutProblem(const TClassInfo& cls) {
  PObject object = cls.Create();
  if (!object || !cls.Layout().ConstructedBytes) return "";
  const size_t size = cls.Layout().Size;
  const auto* start = static_cast<const unsigned char*>(dynamic_cast<const void*>(object.get()));
  // The bytes of each field, and those of the root class (its table pointer and the
  // shared-ownership bookkeeping), which holds no fields.
  struct TSpan {
    size_t Begin, End, Align;
  };
  const TClassInfo* root = &cls;
  while (root->Base()) root = root->Base();
  std::vector<TSpan> spans = {{0, root->Layout().Size, root->Layout().Align}};
  for (const TFieldInfo* f : cls.AllFields()) {
    size_t at = size_t(static_cast<const unsigned char*>(f->Storage(*object)) - start);
    spans.push_back({at, at + f->Size, f->Align});
  }
  std::sort(spans.begin(), spans.end(),
            [](const TSpan& a, const TSpan& b) { return a.Begin < b.Begin; });
  const std::vector<bool> set = cls.Layout().ConstructedBytes();

  // A gap is padding when the field after it (or the object's end) lies where alignment
  // puts it, right after the field before, and construction leaves it alone.
  auto gap = [&](size_t from, size_t to, size_t align) {
    bool padding = to == (from + align - 1) / align * align;
    for (size_t i = from; i < to && padding; ++i) padding = !set[i];
    if (padding) return std::string();
    std::string text = cls.Name();
    text += ": bytes ";
    text += std::to_string(from);
    text += " to ";
    text += std::to_string(to - 1);
    text += " of ";
    text += std::to_string(size);
    text +=
        " belong to no field; list the member they hold with ZYNTRA_FIELD, or with "
        "ZYNTRA_FIELD_UNSAVED when quick saves leave it out";
    return text;
  };
  size_t end = 0;
  for (const TSpan& span : spans) {
    if (span.Begin > end)
      if (std::string problem = gap(end, span.Begin, span.Align); !problem.empty()) return problem;
    end = std::max(end, span.End);
  }
  return end < size ? gap(end, size, cls.Layout().Align) : "";
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
  const std::span<const T> values = ArrayElements<T>(f, object);
  // Vectors of a fixed size: the length the class makes them with.
  size_t length = f.FixedLength;
  if (!length)
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

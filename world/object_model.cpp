#include "world/object_model.h"

TClassInfo::TClassInfo(std::string name, const TClassInfo* base, std::function<PObject()> factory,
                       std::vector<TFieldInfo> fields)
    : ClassName(std::move(name)), BaseClass(base), Factory(std::move(factory)),
      Fields(std::move(fields)) {}

std::vector<const TFieldInfo*> TClassInfo::AllFields() const {
  std::vector<const TFieldInfo*> all = BaseClass ? BaseClass->AllFields() : std::vector<const TFieldInfo*>{};
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
std::vector<const TClassInfo*>& ExtraClasses() {
  static std::vector<const TClassInfo*> classes;
  return classes;
}
}  // namespace

void RegisterClass(const TClassInfo& cls) {
  if (!FindClass(cls.Name())) ExtraClasses().push_back(&cls);
}

const TClassInfo* FindClass(const std::string& name) {
  for (const TClassInfo* c : AllClasses())
    if (c->Name() == name) return c;
  for (const TClassInfo* c : ExtraClasses())
    if (c->Name() == name) return c;
  return nullptr;
}

#include "actors/families.h"

const std::vector<const TClassInfo*>& PickupClasses() {
  static const std::vector<const TClassInfo*> classes = {};
  return classes;
}

// Lookup in the table of files compiled into the program.
#include "data/resources.h"

const TEmbeddedResource* FindEmbeddedResource(const std::string& name) {
  for (const TEmbeddedResource* entry = EmbeddedResources; entry->Name; ++entry)
    if (name == entry->Name) return entry;
  return nullptr;
}

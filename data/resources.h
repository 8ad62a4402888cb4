// Files compiled into the program (everything under resources/), looked up by name.
#pragma once

#include <cstddef>
#include <string>

struct TEmbeddedResource {
  const char* Name;
  const unsigned char* Data;
  size_t Size;
};

// The generated table, ended by an entry whose Name is null.
extern const TEmbeddedResource EmbeddedResources[];

// The resource of that name (exact match), or null.
const TEmbeddedResource* FindEmbeddedResource(const std::string& name);

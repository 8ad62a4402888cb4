// Reader and writer of INI files ("Zyntra.ini", "hrp.ini"). Section and key names are
// case-insensitive (stored upper-cased); values keep their case.
#pragma once

#include <cstdint>
#include <map>
#include <string>

class TIniParser {
 public:
  using TKeyMap = std::map<std::string, std::string>;

  std::map<std::string, TKeyMap> SectionMap;  // ordered by plain byte comparison
  bool Modified = false;                      // set by the typed setters

  TIniParser() = default;
  virtual ~TIniParser() = default;

  // Empties the map and clears Modified.
  virtual void Init();
  // Creates the section when missing and sets the key (replacing its value).
  virtual void SetIniValue(const std::string& section, const std::string& key,
                           const std::string& value);
  virtual std::string GetIniValue(const std::string& section, const std::string& key,
                                  const std::string& defaultValue) const;
  // Adds the file's values (after emptying the map when clear). A file that cannot be
  // opened changes nothing.
  virtual void LoadIniFile(const std::string& name, bool clear);
  // Writes every section and key (comments and layout of a loaded file are not kept)
  // through a temporary file and a rename. False when the file cannot be written.
  virtual bool SaveIniFile(const std::string& name);
  virtual bool SectionExists(const std::string& section) const;

  virtual std::string GetString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const;
  virtual void SetString(const std::string& section, const std::string& key,
                         const std::string& value);
  // The typed getters give the default when the value is missing or empty.
  virtual int32_t GetInt(const std::string& section, const std::string& key,
                         int32_t defaultValue) const;
  virtual void SetInt(const std::string& section, const std::string& key, int32_t value);
  virtual int64_t GetLong(const std::string& section, const std::string& key,
                          int64_t defaultValue) const;
  virtual void SetLong(const std::string& section, const std::string& key, int64_t value);
  virtual float GetFloat(const std::string& section, const std::string& key,
                         float defaultValue) const;
  virtual void SetFloat(const std::string& section, const std::string& key, float value);
  virtual double GetDouble(const std::string& section, const std::string& key,
                           double defaultValue) const;
  virtual void SetDouble(const std::string& section, const std::string& key, double value);
};

// The integer at the start of text: leading spaces skipped, an optional sign, then the
// digits up to the first other character; 0 when there are none. Wraps on overflow.
int64_t ParseLeadingInteger(const std::string& text);

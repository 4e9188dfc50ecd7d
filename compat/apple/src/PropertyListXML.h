// Reads the XML property lists bundles describe themselves with (Info.plist): dictionaries,
// arrays, strings, integers and booleans. Anything else, or malformed XML, fails the read.
#ifndef COMPAT_APPLE_SRC_PROPERTYLISTXML_H
#define COMPAT_APPLE_SRC_PROPERTYLISTXML_H

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace compat
{
struct PlistValue
{
  enum Kind
  {
    kString,
    kInteger,
    kBoolean,
    kArray,
    kDictionary
  };
  Kind kind = kString;
  std::string text;
  long long integer = 0;
  bool boolean = false;
  std::vector<PlistValue> items;  // an array's
  std::vector<std::string> keys;  // a dictionary's, in file order, with the values in items

  // The dictionary's value under key, or null.
  const PlistValue* Find(const std::string& key) const;
};

// The property list in the file, or null when it cannot be read or is not one.
std::unique_ptr<PlistValue> ReadXMLPropertyList(const std::string& path);
// The same from text in memory.
std::unique_ptr<PlistValue> ParseXMLPropertyList(const std::string& xml);
}  // namespace compat

#endif

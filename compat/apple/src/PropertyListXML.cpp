#include "PropertyListXML.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace compat
{
namespace
{
// A recursive-descent reader over the text; every Read* leaves mPos after what it read.
class Reader final
{
public:
  explicit Reader(const std::string& xml)
    : mXml(xml)
  {
  }

  std::unique_ptr<PlistValue> Document()
  {
    SkipProlog();
    std::string tag;
    if (!OpenTag(&tag) || tag.rfind("plist", 0) != 0) return nullptr;
    auto value = std::make_unique<PlistValue>();
    if (!Value(value.get()) || !CloseTag("plist")) return nullptr;
    return value;
  }

private:
  void SkipSpace()
  {
    while (mPos < mXml.size() && (mXml[mPos] == ' ' || mXml[mPos] == '\t' || mXml[mPos] == '\n' || mXml[mPos] == '\r'))
      ++mPos;
  }

  // The XML declaration, the document type and comments before the root.
  void SkipProlog()
  {
    for (;;)
    {
      SkipSpace();
      if (mXml.compare(mPos, 2, "<?") == 0 || mXml.compare(mPos, 2, "<!") == 0)
      {
        const size_t end = mXml.find('>', mPos);
        mPos = end == std::string::npos ? mXml.size() : end + 1;
      }
      else
        return;
    }
  }

  // "<name ...>" or "<name/>": the text between the brackets.
  bool OpenTag(std::string* pTag)
  {
    SkipProlog();
    if (mPos >= mXml.size() || mXml[mPos] != '<' || mXml.compare(mPos, 2, "</") == 0) return false;
    const size_t end = mXml.find('>', mPos);
    if (end == std::string::npos) return false;
    *pTag = mXml.substr(mPos + 1, end - mPos - 1);
    mPos = end + 1;
    return true;
  }

  bool CloseTag(const char* name)
  {
    SkipProlog();
    const std::string close = std::string("</") + name + ">";
    if (mXml.compare(mPos, close.size(), close) != 0) return false;
    mPos += close.size();
    return true;
  }

  bool PeekClose() const { return mXml.compare(mPos, 2, "</") == 0; }

  // Character data up to the next tag, with the five predefined entities resolved.
  bool Text(std::string* pText)
  {
    const size_t end = mXml.find('<', mPos);
    if (end == std::string::npos) return false;
    const std::string raw = mXml.substr(mPos, end - mPos);
    mPos = end;
    pText->clear();
    static const std::pair<const char*, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (size_t i = 0; i < raw.size();)
    {
      bool matched = false;
      if (raw[i] == '&')
      {
        for (const auto& [entity, c] : kEntities)
        {
          const std::string e(entity);
          if (raw.compare(i, e.size(), e) == 0)
          {
            pText->push_back(c);
            i += e.size();
            matched = true;
            break;
          }
        }
        if (!matched) return false;
      }
      else
      {
        pText->push_back(raw[i++]);
      }
    }
    return true;
  }

  bool Value(PlistValue* pValue)
  {
    std::string tag;
    if (!OpenTag(&tag)) return false;
    if (tag == "true/" || tag == "false/")
    {
      pValue->kind = PlistValue::kBoolean;
      pValue->boolean = tag == "true/";
      return true;
    }
    if (tag == "string/" || tag == "array/" || tag == "dict/")
    {
      pValue->kind =
        tag == "string/" ? PlistValue::kString : (tag == "array/" ? PlistValue::kArray : PlistValue::kDictionary);
      return true;
    }
    if (tag == "string")
    {
      pValue->kind = PlistValue::kString;
      return Text(&pValue->text) && CloseTag("string");
    }
    if (tag == "integer")
    {
      std::string digits;
      if (!Text(&digits) || !CloseTag("integer")) return false;
      char* end = nullptr;
      pValue->kind = PlistValue::kInteger;
      pValue->integer = std::strtoll(digits.c_str(), &end, 10);
      return !digits.empty() && end && *end == 0;
    }
    if (tag == "array")
    {
      pValue->kind = PlistValue::kArray;
      for (SkipProlog(); !PeekClose(); SkipProlog())
      {
        pValue->items.emplace_back();
        if (!Value(&pValue->items.back())) return false;
      }
      return CloseTag("array");
    }
    if (tag == "dict")
    {
      pValue->kind = PlistValue::kDictionary;
      for (SkipProlog(); !PeekClose(); SkipProlog())
      {
        std::string keyTag, key;
        if (!OpenTag(&keyTag) || keyTag != "key" || !Text(&key) || !CloseTag("key")) return false;
        pValue->keys.push_back(key);
        pValue->items.emplace_back();
        if (!Value(&pValue->items.back())) return false;
      }
      return CloseTag("dict");
    }
    return false;  // real, date, data: no bundle description this reader serves uses them
  }

  const std::string& mXml;
  size_t mPos = 0;
};
}  // namespace

const PlistValue* PlistValue::Find(const std::string& key) const
{
  if (kind != kDictionary) return nullptr;
  for (size_t i = 0; i < keys.size() && i < items.size(); ++i)
    if (keys[i] == key) return &items[i];
  return nullptr;
}

std::unique_ptr<PlistValue> ParseXMLPropertyList(const std::string& xml) { return Reader(xml).Document(); }

std::unique_ptr<PlistValue> ReadXMLPropertyList(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) return nullptr;
  std::ostringstream text;
  text << in.rdbuf();
  return ParseXMLPropertyList(text.str());
}
}  // namespace compat

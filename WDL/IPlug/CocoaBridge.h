// Conversions between the editor's plain values and Cocoa's: strings (UTF-8 and UTF-16)
// and rectangles. Objective-C++ only. Any thread.
#pragma once

#import <Foundation/Foundation.h>

#include <string>
#include <string_view>

#include "CocoaEventLogic.h"

namespace cocoa_bridge
{
// A Cocoa string from UTF-8 text. Null or malformed text gives an empty string rather than
// nil, which Cocoa would refuse in titles, fields and arrays.
inline NSString* ToNSString(const char* utf8)
{
  NSString* s = utf8 ? [NSString stringWithCString:utf8 encoding:NSUTF8StringEncoding] : nil;
  return s ? s : @"";
}

inline NSString* ToNSString(const std::string& utf8) { return ToNSString(utf8.c_str()); }

inline NSString* ToNSString(std::u16string_view utf16)
{
  return [NSString stringWithCharacters:reinterpret_cast<const unichar*>(utf16.data()) length:utf16.size()];
}

inline std::u16string ToU16(NSString* s)
{
  std::u16string out(s ? [s length] : 0, u'\0');
  if (!out.empty()) [s getCharacters:reinterpret_cast<unichar*>(&out[0]) range:NSMakeRange(0, out.size())];
  return out;
}

// UTF-8 text of a Cocoa string, copied so it outlives the string; "" for nil.
inline std::string ToUTF8(NSString* s)
{
  const char* p = s ? [s UTF8String] : nullptr;
  return p ? std::string(p) : std::string();
}

inline NSRect ToNSRect(const cocoa_view::CocoaRect& r) { return NSMakeRect(r.x, r.y, r.w, r.h); }

inline cocoa_view::CocoaRect FromNSRect(NSRect r) { return {r.origin.x, r.origin.y, r.size.width, r.size.height}; }
}  // namespace cocoa_bridge

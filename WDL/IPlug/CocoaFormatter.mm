// The value field's formatter: every edit is tested by FormatterAccepts before Cocoa takes it.

#import "IGraphicsCocoa.h"

#include "CocoaBridge.h"
#include "CocoaPromptLogic.h"

@implementation CocoaFormatter_vtest_au

- (id)init
{
  self = [super init];
  if (self) mLimits = new cocoa_view::FormatterLimits;
  return self;
}

- (void)dealloc
{
  delete mLimits;
  [super dealloc];
}

- (void)setAcceptableCharacters:(NSString*)characters
{
  mLimits->hasCharacterSet = characters != nil;
  mLimits->characters = cocoa_bridge::ToU16(characters);
}

- (void)setMaximumLength:(int)len
{
  mLimits->maxLength = len;
}

- (void)setMaximumValue:(int)value
{
  mLimits->maxValue = value;
}

- (NSString*)stringForObjectValue:(id)anObject
{
  return [anObject isKindOfClass:[NSString class]] ? (NSString*)anObject : nil;
}

- (BOOL)getObjectValue:(id*)anObject forString:(NSString*)string errorDescription:(NSString**)error
{
  (void)error;
  if (anObject) *anObject = [[string copy] autorelease];
  return YES;
}

- (BOOL)isPartialStringValid:(NSString*)partialString
            newEditingString:(NSString**)newString
            errorDescription:(NSString**)error
{
  (void)newString;
  (void)error;
  return cocoa_view::FormatterAccepts(cocoa_bridge::ToU16(partialString), *mLimits) ? YES : NO;
}

@end

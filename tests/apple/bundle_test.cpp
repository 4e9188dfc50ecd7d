// Bundles, file URLs and the system version.
#include <CompatHooks.h>
#include <CoreServices/CoreServices.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace
{

std::string Path(CFURLRef url)
{
  UInt8 buffer[1024];
  if (!url || !CFURLGetFileSystemRepresentation(url, true, buffer, sizeof(buffer))) return "(none)";
  return reinterpret_cast<char*>(buffer);
}

TEST(CFBundle, RegisteredIdentifierGivesItsFolderExecutableAndResources)
{
  const std::string folder = std::string(TESK_TEST_DATA_DIR);
  ASSERT_TRUE(
    compat_RegisterBundle("com.example.tesk.test", folder.c_str(), "/opt/Tesk/Contents/MacOS/Tesk", folder.c_str()));
  CFBundleRef bundle = CFBundleGetBundleWithIdentifier(CFSTR("com.example.tesk.test"));
  ASSERT_NE(bundle, nullptr);
  EXPECT_TRUE(CFEqual(CFBundleGetIdentifier(bundle), CFSTR("com.example.tesk.test")));

  CFURLRef url = CFBundleCopyBundleURL(bundle);
  EXPECT_EQ(Path(url), folder);
  EXPECT_TRUE(CFURLHasDirectoryPath(url));
  CFStringRef text = CFURLGetString(url);
  char buffer[1024];
  ASSERT_TRUE(CFStringGetCString(text, buffer, sizeof(buffer), kCFStringEncodingUTF8));
  EXPECT_EQ(std::string(buffer), "file://" + folder + "/");
  CFRelease(url);

  url = CFBundleCopyExecutableURL(bundle);
  EXPECT_EQ(Path(url), "/opt/Tesk/Contents/MacOS/Tesk");
  CFURLRef parent = CFURLCreateCopyDeletingLastPathComponent(nullptr, url);
  EXPECT_EQ(Path(parent), "/opt/Tesk/Contents/MacOS");
  CFRelease(parent);
  CFRelease(url);

  url = CFBundleCopyResourceURL(bundle, CFSTR("CMakeLists"), CFSTR("txt"), nullptr);
  EXPECT_EQ(Path(url), folder + "/CMakeLists.txt");
  CFRelease(url);
  EXPECT_EQ(CFBundleCopyResourceURL(bundle, CFSTR("missing"), CFSTR("png"), nullptr), nullptr);

  compat_UnregisterBundle("com.example.tesk.test");
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.tesk.test")), nullptr);
}

TEST(CFBundle, MainBundleIsTheProgramUntilAHostIdentityIsSet)
{
  CFBundleRef main = CFBundleGetMainBundle();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(CFBundleGetIdentifier(main), nullptr);
  CFURLRef exe = CFBundleCopyExecutableURL(main);
  EXPECT_NE(Path(exe).find("apple_tests"), std::string::npos);
  CFRelease(exe);

  compat_SetMainBundle("com.example.host", nullptr, nullptr);
  EXPECT_TRUE(CFEqual(CFBundleGetIdentifier(CFBundleGetMainBundle()), CFSTR("com.example.host")));
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.host")), main);
  compat_SetMainBundle(nullptr, nullptr, nullptr);
  EXPECT_EQ(CFBundleGetIdentifier(main), nullptr);
}

TEST(CFURL, FileSystemPathsRoundTripWithEscapes)
{
  CFURLRef url = CFURLCreateWithFileSystemPath(nullptr, CFSTR("/tmp/a dir/file.png"), kCFURLPOSIXPathStyle, false);
  CFStringRef text = CFURLGetString(url);
  EXPECT_TRUE(CFEqual(text, CFSTR("file:///tmp/a%20dir/file.png")));
  CFStringRef path = CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle);
  EXPECT_TRUE(CFEqual(path, CFSTR("/tmp/a dir/file.png")));
  CFStringRef ext = CFURLCopyPathExtension(url);
  EXPECT_TRUE(CFEqual(ext, CFSTR("png")));
  UInt8 small[8];
  EXPECT_FALSE(CFURLGetFileSystemRepresentation(url, true, small, sizeof(small)));
  CFRelease(ext);
  CFRelease(path);
  CFRelease(url);

  CFURLRef web = CFURLCreateWithString(nullptr, CFSTR("http://example.com/x"), nullptr);
  UInt8 buffer[64];
  EXPECT_FALSE(CFURLGetFileSystemRepresentation(web, true, buffer, sizeof(buffer)));
  CFRelease(web);
  EXPECT_EQ(CFURLCreateWithString(nullptr, CFSTR("not a url"), nullptr), nullptr);
}

TEST(Gestalt, ReportsTheConfiguredSystemVersion)
{
  SInt32 v = 0;
  ASSERT_EQ(Gestalt(gestaltSystemVersion, &v), noErr);
  EXPECT_EQ(v, 0x1068);
  ASSERT_EQ(Gestalt(gestaltSystemVersionMinor, &v), noErr);
  EXPECT_EQ(v, 6);
  compat_SetGestaltSystemVersion(0x1049);
  ASSERT_EQ(Gestalt(gestaltSystemVersion, &v), noErr);
  EXPECT_LT(v, 0x1050);
  ASSERT_EQ(Gestalt(gestaltSystemVersionMajor, &v), noErr);
  EXPECT_EQ(v, 10);
  compat_SetGestaltSystemVersion(0x1068);
  EXPECT_EQ(Gestalt(0x71717171, &v), gestaltUndefSelectorErr);
}

}  // namespace

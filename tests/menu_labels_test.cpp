// menu_labels_test.cpp: the menu's Korean labels, byte for byte, and the installed font that draws
// them on Linux. (The C library of the browser build converts to no Korean code page.)
#include <fontconfig/fontconfig.h>
#include <iconv.h>

#include <cstddef>
#include <string>
#include <vector>

#include "scene_test.h"
#include "stdout_capture.h"

namespace {

// Bytes of a UTF-8 text once converted to code page 949, or -1 when it does not convert.
long Cp949Length(const std::string& utf8) {
  iconv_t converter = iconv_open("CP949", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    return -1;
  }
  std::string in = utf8;
  std::vector<char> out(in.size() * 2 + 16);
  char* inPtr = in.data();
  char* outPtr = out.data();
  std::size_t inLeft = in.size();
  std::size_t outLeft = out.size();
  const std::size_t result = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(converter);
  if (result == static_cast<std::size_t>(-1) || inLeft != 0) {
    return -1;
  }
  return static_cast<long>(out.size() - outLeft);
}

class MenuLabelsTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    CreateMainMenu();
    menuEntries = fake_glut::MenuEntries();
  }

  std::vector<fake_glut::MenuEntry> menuEntries;
};

TEST_F(MenuLabelsTest, EachLabelHasItsLengthInTheKoreanCodePage) {
  // A lost blank or a wrong character changes the length.
  const long cp949Bytes[] = {43, 34, 39, 46, 42, 47, 43, 24, 24, 51, 22};
  ASSERT_EQ(menuEntries.size(), 11u);
  for (std::size_t i = 0; i < menuEntries.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "entry " << i + 1 << ": " << menuEntries[i].label);
    EXPECT_EQ(Cp949Length(menuEntries[i].label), cp949Bytes[i]);
  }
}

// The menu's labels are drawn by the face Xft opens for the family UseMenuFont gives FLTK, in
// FLTK's plain style at its usual 14 px. Every character of every label must be in it, or the
// menu shows boxes.
TEST_F(MenuLabelsTest, TheMenuFontHasEveryCharacterOfEveryLabel) {
  const std::string family = FindMenuFontFamily();
  ASSERT_FALSE(family.empty()) << "no installed font covers the labels (fonts-nanum has one)";
  FcPattern* wanted = FcPatternBuild(nullptr, FC_FAMILY, FcTypeString, family.c_str(), FC_WEIGHT,
                                     FcTypeInteger, FC_WEIGHT_MEDIUM, FC_SLANT, FcTypeInteger,
                                     FC_SLANT_ROMAN, FC_PIXEL_SIZE, FcTypeDouble, 14.0, nullptr);
  FcConfigSubstitute(nullptr, wanted, FcMatchPattern);
  FcDefaultSubstitute(wanted);
  FcResult result = FcResultNoMatch;
  FcPattern* face = FcFontMatch(nullptr, wanted, &result);
  FcPatternDestroy(wanted);
  ASSERT_NE(face, nullptr);
  FcChar8* file = nullptr;
  FcPatternGetString(face, FC_FILE, 0, &file);
  SCOPED_TRACE(testing::Message() << family << " is " << file);
  bool sameFamily = false;
  FcChar8* name = nullptr;
  for (int k = 0; FcPatternGetString(face, FC_FAMILY, k, &name) == FcResultMatch; ++k) {
    sameFamily = sameFamily || family == reinterpret_cast<const char*>(name);
  }
  EXPECT_TRUE(sameFamily) << "the family is not what Xft opens";
  FcCharSet* has = nullptr;
  ASSERT_EQ(FcPatternGetCharSet(face, FC_CHARSET, 0, &has), FcResultMatch);
  int missing = 0;
  for (const fake_glut::MenuEntry& entry : menuEntries) {
    const auto* next = reinterpret_cast<const FcChar8*>(entry.label.data());
    int left = static_cast<int>(entry.label.size());
    FcChar32 character = 0;
    for (int used = 0; left > 0; next += used, left -= used) {
      used = FcUtf8ToUcs4(next, &character, left);
      ASSERT_GT(used, 0) << "not UTF-8: " << entry.label;
      if (!FcCharSetHasChar(has, character) && ++missing <= 5) {
        ADD_FAILURE() << "U+" << std::hex << character << " of " << entry.label;
      }
    }
  }
  EXPECT_EQ(missing, 0);
  FcPatternDestroy(face);
}

// Without such a font the program goes on, says so once on standard error, and prints nothing
// on standard output.
TEST_F(MenuLabelsTest, WithoutACoveringFontOneLineOnStandardErrorNamesThePackage) {
  FcConfig* installed = FcConfigReference(nullptr);
  FcConfig* noFonts = FcConfigCreate();
  ASSERT_TRUE(FcConfigSetCurrent(noFonts));
  testing::internal::CaptureStderr();
  const std::string printed = TextPrintedBy(UseMenuFont);
  const std::string warned = testing::internal::GetCapturedStderr();
  FcConfigSetCurrent(installed);
  FcConfigDestroy(noFonts);
  FcConfigDestroy(installed);

  EXPECT_EQ(printed, "");
  EXPECT_EQ(LinesOf(warned).size(), 1u) << warned;
  EXPECT_NE(warned.find("fonts-nanum"), std::string::npos) << warned;
}

}  // namespace

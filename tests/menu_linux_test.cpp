// menu_linux_test.cpp: the menu on Linux: the table handed to GLUT's menu calls, the installed
// font that draws its Korean labels, what happens without one, and the screen's scale that sizes
// the window and the labels' type.
#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "menu_font_linux.h"
#include "platform.h"
#include "scene_test.h"
#include "screen_scale_linux.h"
#include "stdout_capture.h"

namespace {

// The menu is the shared table, in order, calling MyMainMenu, on the right button; by the time
// it first opens, its labels' face is the family that covers them.
TEST_F(SceneTest, TheMenuIsTheTableOnTheRightButtonInTheFontThatCoversIt) {
  AttachMainMenu();
  const fake_glut::MenuStatusCallback menuStatus = fake_glut::MenuStatusCallbackSet();
  ASSERT_NE(menuStatus, nullptr) << "nothing is told when the menu opens";
  menuStatus(GLUT_MENU_IN_USE, 0, 0);
  EXPECT_EQ(std::string(Fl::get_font(FL_HELVETICA)), " " + FindMenuFontFamily());
  EXPECT_EQ(fake_glut::MenuCallbackCreated(), &MyMainMenu);
  EXPECT_EQ(fake_glut::MenuAttachedButton(), GLUT_RIGHT_BUTTON);
  const std::vector<fake_glut::MenuEntry>& shown = fake_glut::MenuEntries();
  ASSERT_EQ(shown.size(), kMainMenuEntries.size());
  for (std::size_t i = 0; i < shown.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "entry " << i + 1);
    EXPECT_EQ(shown[i].label, kMainMenuEntries[i].label);
    EXPECT_EQ(shown[i].value, kMainMenuEntries[i].value);
  }
}

// The menu's labels are drawn by the face Xft opens for the family UseMenuFont gives FLTK, in
// FLTK's plain style at its usual 14 px. Every character of every label must be in it, or the
// menu shows boxes.
TEST(MenuFontTest, TheMenuFontHasEveryCharacterOfEveryLabel) {
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
  for (const MenuEntry& entry : kMainMenuEntries) {
    const std::string label = entry.label;
    const auto* next = reinterpret_cast<const FcChar8*>(label.data());
    int left = static_cast<int>(label.size());
    FcChar32 character = 0;
    for (int used = 0; left > 0; next += used, left -= used) {
      used = FcUtf8ToUcs4(next, &character, left);
      ASSERT_GT(used, 0) << "not UTF-8: " << label;
      if (!FcCharSetHasChar(has, character) && ++missing <= 5) {
        ADD_FAILURE() << "U+" << std::hex << character << " of " << label;
      }
    }
  }
  EXPECT_EQ(missing, 0);
  FcPatternDestroy(face);
}

// The look-up waits: attaching the menu says nothing even where no font covers the labels. The
// menu's first opening makes it: the program goes on, says so once on standard error, and prints
// nothing on standard output; later openings say nothing more.
TEST_F(SceneTest, WithoutACoveringFontTheMenusFirstOpeningSaysOneLineNamingThePackage) {
  FcConfig* installed = FcConfigReference(nullptr);
  FcConfig* noFonts = FcConfigCreate();
  ASSERT_TRUE(FcConfigSetCurrent(noFonts));
  testing::internal::CaptureStderr();
  const std::string printedAttaching = TextPrintedBy(AttachMainMenu);
  const std::string warnedAttaching = testing::internal::GetCapturedStderr();
  const fake_glut::MenuStatusCallback menuStatus = fake_glut::MenuStatusCallbackSet();
  std::string printed;
  testing::internal::CaptureStderr();
  if (menuStatus != nullptr) {
    printed = TextPrintedBy([menuStatus] {
      for (int opening = 0; opening < 2; ++opening) {
        menuStatus(GLUT_MENU_IN_USE, 0, 0);
        menuStatus(GLUT_MENU_NOT_IN_USE, 0, 0);
      }
    });
  }
  const std::string warned = testing::internal::GetCapturedStderr();
  FcConfigSetCurrent(installed);
  FcConfigDestroy(noFonts);
  FcConfigDestroy(installed);

  EXPECT_EQ(printedAttaching + warnedAttaching, "");
  ASSERT_NE(menuStatus, nullptr) << "nothing is told when the menu opens";
  EXPECT_EQ(printed, "");
  EXPECT_EQ(LinesOf(warned).size(), 1u) << warned;
  EXPECT_NE(warned.find("fonts-nanum"), std::string::npos) << warned;
}

// Xft.dpi among other resources, as xrdb writes them; a value no screen has leaves the usual 96.
// Sizes round half up, as Windows' MulDiv does, so both platforms open the same window.
TEST(ScreenScaleTest, XftDpiWithinBoundsGivesTheScaleAndSizesRoundHalfUp) {
  EXPECT_EQ(ScreenDpi(nullptr), 96);
  EXPECT_EQ(ScreenDpi("Xcursor.size: 24\nXft.dpi:  144 \n"), 144);
  EXPECT_EQ(ScreenDpi("*dpi: 119.6\n"), 120);
  EXPECT_EQ(ScreenDpi("Xft.dpi: 481\n"), 96);
  EXPECT_EQ(ScreenDpi("Xft.dpi: 72\n"), 96);
  EXPECT_EQ(ScreenDpi("Xft.dpi: 192dpi\n"), 96);
  EXPECT_EQ(ScreenDpi("Xft.dpi: nan\n"), 96);
  EXPECT_EQ(ScaledPx(14, 120), 18);  // 17.5
}

}  // namespace

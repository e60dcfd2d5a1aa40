#include <gtest/gtest.h>

#include "common/core/titles.h"
#include "common/win/message_box.h"
#include "tests/support/fake_boxes.h"

namespace koral {
namespace {

TEST(MessageBoxes, ErrorBoxBeepsFirstAndIsASystemModalStopBox) {
  test::FakeMessageBoxes boxes;
  EXPECT_EQ(ErrorBox("Fail to load data from Register File!", kControlPanelTitle), IDOK);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.events, (std::vector<std::string>{"beep", "box"}));
  EXPECT_EQ(boxes.shown[0].Caption, " TouchScreen Control Panel #KR-PS2");
  EXPECT_EQ(boxes.shown[0].Flags, static_cast<UINT>(MB_OK | MB_ICONSTOP | MB_SYSTEMMODAL));
}

TEST(MessageBoxes, QuestionBoxReturnsTheAnswerAndKeepsTheCallersDefault) {
  test::FakeMessageBoxes boxes;
  boxes.answers = {IDNO, IDYES};
  EXPECT_EQ(QuestionBox("Are you sure you want to break calibration?", "TouchScreen Calibration",
                        MB_DEFBUTTON2),
            IDNO);
  EXPECT_EQ(QuestionBox("CALIBRATION IS COMPLETE.", "TouchScreen Calibration"), IDYES);
  EXPECT_EQ(boxes.shown[0].Flags,
            static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_SYSTEMMODAL | MB_DEFBUTTON2));
  EXPECT_EQ(boxes.shown[1].Flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_SYSTEMMODAL));
  EXPECT_EQ(boxes.events, (std::vector<std::string>{"box", "box"})) << "questions do not beep";
}

TEST(MessageBoxes, SetupToolsBoxesCarryTheirIconAndModality) {
  struct Case {
    int (*Box)(const std::string&, const std::string&);
    UINT Flags;
  };
  for (const auto& c : {Case{PlainBox, MB_OK}, Case{InformationBox, MB_OK | MB_ICONINFORMATION | MB_SYSTEMMODAL},
                        Case{ExclamationBox, MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL},
                        Case{WarningBox, MB_OK | MB_ICONEXCLAMATION}}) {
    test::FakeMessageBoxes boxes;
    EXPECT_EQ(c.Box("text", kSetupFinisherTitle), IDOK);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Flags, c.Flags);
    EXPECT_EQ(boxes.shown[0].Caption, kSetupFinisherTitle);
    EXPECT_EQ(boxes.events, (std::vector<std::string>{"box"})) << "only the error box beeps";
  }
}

}  // namespace
}  // namespace koral

// The base's calls into its editor, through the headless graphics host.

#include "IControl.h"
#include "IGraphicsHeadless.h"
#include "TestPlug.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace
{
// Remembers how many parameters its plug-in still had when the editor deleted it.
class ProbeControl final : public IControl
{
public:
  ProbeControl(IPlugBase* pPlug, int paramIdx, int* pParamsAtDelete)
    : IControl(pPlug, IRECT(0, 0, 10, 10), paramIdx),
      mParamsAtDelete(pParamsAtDelete)
  {
  }
  ~ProbeControl() override { *mParamsAtDelete = GetPlug()->NParams(); }
  bool Draw(IGraphics*) override { return true; }

private:
  int* mParamsAtDelete;
};

struct EditorFixture : testing::Test
{
  void SetUp() override
  {
    plug = new TestPlug(TestPlug::Options{13, "1-1 2-2", 2, false});
    plug->InitDoubles();
    plug->GetParam(2)->InitDouble("shaped", 25, 0, 100, 0.01);
    plug->GetParam(2)->SetShape(2);
    gui = new IGraphicsHeadless(plug, 100, 100);
    gui->AttachControl(new ProbeControl(plug, 2, &paramsAtDelete));
    gui->AttachControl(new ProbeControl(plug, 5, &paramsAtDelete));
  }
  void TearDown() override { delete plug; }

  TestPlug* plug = nullptr;
  IGraphicsHeadless* gui = nullptr;
  int paramsAtDelete = -1;
};

TEST_F(EditorFixture, AttachPushesNormalizedValuesAndRedrawFollowsTheParameters)
{
  plug->AttachGraphics(nullptr);
  EXPECT_EQ(plug->GetGUI(), nullptr);
  plug->AttachGraphics(gui);
  ASSERT_EQ(plug->GetGUI(), gui);
  EXPECT_DOUBLE_EQ(gui->GetControl(0)->GetValue(), 0.5);  // 25 of 0..100 with shape 2
  EXPECT_DOUBLE_EQ(gui->GetControl(1)->GetValue(), 0.05);

  plug->GetParam(2)->Set(100);
  plug->GetParam(5)->Set(0.5);
  plug->RedrawParamControls();
  EXPECT_DOUBLE_EQ(gui->GetControl(0)->GetValue(), 1.0);
  EXPECT_DOUBLE_EQ(gui->GetControl(1)->GetValue(), 0.5);
}

TEST_F(EditorFixture, EditorIsDeletedBeforeTheParameters)
{
  plug->AttachGraphics(gui);
  delete plug;
  plug = nullptr;
  EXPECT_EQ(paramsAtDelete, 13);
}

TEST_F(EditorFixture, PresetFileDialogsUseThePathForms)
{
  plug->AttachGraphics(gui);
  plug->EnsureDefaultPreset();
  const std::string path = testing::TempDir() + "iplug_editor_test.fxp";

  plug->SetValues(std::vector<double>(13, 0.25));
  gui->QueueFileChoice(path.c_str());
  ASSERT_TRUE(plug->SaveProgramAsFXP("default"));

  plug->SetValues(std::vector<double>(13, 0.0));
  gui->QueueFileChoice(path.c_str());
  ASSERT_TRUE(plug->LoadProgramFromFXP());
  EXPECT_EQ(plug->GetParam(7)->Value(), 0.25);

  gui->QueueFileChoice("");  // the user cancels
  EXPECT_FALSE(plug->LoadBankFromFXB());
  EXPECT_FALSE(plug->SaveBankAsFXB());  // nothing queued: cancelled too
  std::remove(path.c_str());
}
}  // namespace

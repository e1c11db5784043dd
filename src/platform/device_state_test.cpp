#include "platform/device_state.h"

#include <gtest/gtest.h>

namespace plat {
namespace {

TEST(DeviceStateTest, StartValues) {
  DeviceStateTable t;
  EXPECT_EQ(t.render(kRsZEnable), 0u);
  EXPECT_EQ(t.render(kRsSrcBlend), kBlendOne);
  EXPECT_EQ(t.render(kRsDestBlend), kBlendZero);
  EXPECT_EQ(t.render(kRsAlphaFunc), kCmpAlways);
  EXPECT_EQ(t.render(kRsCullMode), kCullCcw);
  EXPECT_EQ(t.render(kRsColourWriteEnable), 0xFu);
  EXPECT_EQ(t.stage(0, kTssColourOp), kTopModulate);
  EXPECT_EQ(t.stage(0, kTssAlphaOp), kTopSelectArg1);
  EXPECT_EQ(t.stage(1, kTssColourOp), kTopDisable);
  EXPECT_EQ(t.stage(1, kTssTexCoordIndex), 1u);
  EXPECT_EQ(t.stage(3, kTssAddressU), kTaddressWrap);
  t.SetDefaults(true);
  EXPECT_EQ(t.render(kRsZEnable), 1u);
}

TEST(DeviceStateTest, OutOfRangeIsRefused) {
  DeviceStateTable t;
  uint32_t v = 0;
  EXPECT_EQ(t.SetRenderState(kRenderStateCount, 1), kInvalidArg);
  EXPECT_EQ(t.GetRenderState(kRenderStateCount, &v), kInvalidArg);
  EXPECT_EQ(t.GetRenderState(kRsAlphaRef, nullptr), kInvalidArg);
  EXPECT_EQ(t.SetTextureStageState(kTextureStages, kTssColourOp, 1), kInvalidArg);
  EXPECT_EQ(t.SetTextureStageState(0, kStageStateCount, 1), kInvalidArg);
  EXPECT_EQ(t.SetTextureStageState(7, kTssColourOp, kTopAdd), kOk);
  EXPECT_EQ(t.stage(7, kTssColourOp), kTopAdd);
}

TEST(DeviceStateTest, BlocksAreIndependentAndSurviveDefaults) {
  DeviceStateTable t;
  uint32_t a = 0, b = 0;
  ASSERT_EQ(t.BeginStateBlock(), kOk);
  EXPECT_TRUE(t.recording());
  t.SetRenderState(kRsAlphaRef, 8);
  t.SetTextureStageState(2, kTssColourOp, kTopDisable);
  ASSERT_EQ(t.EndStateBlock(&a), kOk);
  ASSERT_EQ(t.BeginStateBlock(), kOk);
  t.SetRenderState(kRsAlphaRef, 100);
  EXPECT_EQ(t.ApplyStateBlock(a), kInvalidArg);  // not while recording
  ASSERT_EQ(t.EndStateBlock(&b), kOk);
  EXPECT_NE(a, b);
  EXPECT_EQ(t.blockCount(), 2u);
  EXPECT_EQ(t.render(kRsAlphaRef), 0u);
  t.SetDefaults(false);
  ASSERT_EQ(t.ApplyStateBlock(b), kOk);
  EXPECT_EQ(t.render(kRsAlphaRef), 100u);
  ASSERT_EQ(t.ApplyStateBlock(a), kOk);
  EXPECT_EQ(t.render(kRsAlphaRef), 8u);
  EXPECT_EQ(t.DeleteStateBlock(a), kOk);
  EXPECT_EQ(t.DeleteStateBlock(a), kInvalidArg);
  EXPECT_EQ(t.ApplyStateBlock(0), kInvalidArg);
  EXPECT_EQ(t.EndStateBlock(nullptr), kInvalidArg);
}

}  // namespace
}  // namespace plat

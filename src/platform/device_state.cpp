#include "platform/device_state.h"

namespace plat {

void DeviceStateTable::SetDefaults(bool depthBuffer) {
  render_.fill(0);
  render_[kRsZEnable] = depthBuffer ? 1 : 0;
  render_[kRsFillMode] = kFillSolid;
  render_[kRsShadeMode] = kShadeGouraud;
  render_[kRsZWriteEnable] = 1;
  render_[kRsLastPixel] = 1;
  render_[kRsSrcBlend] = kBlendOne;
  render_[kRsDestBlend] = kBlendZero;
  render_[kRsCullMode] = kCullCcw;
  render_[kRsZFunc] = kCmpLessEqual;
  render_[kRsAlphaFunc] = kCmpAlways;
  render_[kRsTextureFactor] = 0xFFFFFFFFu;
  render_[kRsClipping] = 1;
  render_[kRsLighting] = 1;
  render_[kRsColourWriteEnable] = 0xF;
  render_[kRsBlendOp] = kBlendOpAdd;
  for (uint32_t s = 0; s < kTextureStages; ++s) {
    auto& st = stages_[s];
    st.fill(0);
    st[kTssColourOp] = s == 0 ? kTopModulate : kTopDisable;
    st[kTssColourArg1] = kTaTexture;
    st[kTssColourArg2] = kTaCurrent;
    st[kTssAlphaOp] = s == 0 ? kTopSelectArg1 : kTopDisable;
    st[kTssAlphaArg1] = kTaTexture;
    st[kTssAlphaArg2] = kTaCurrent;
    st[kTssTexCoordIndex] = s;
    st[kTssAddressU] = kTaddressWrap;
    st[kTssAddressV] = kTaddressWrap;
    st[kTssMagFilter] = kTexfPoint;
    st[kTssMinFilter] = kTexfPoint;
    st[kTssMipFilter] = kTexfNone;
  }
}

Status DeviceStateTable::SetRenderState(uint32_t state, uint32_t value) {
  if (state >= kRenderStateCount) return kInvalidArg;
  if (recording_)
    recording_->push_back({false, 0, state, value});
  else
    render_[state] = value;
  return kOk;
}

Status DeviceStateTable::GetRenderState(uint32_t state, uint32_t* value) const {
  if (!value || state >= kRenderStateCount) return kInvalidArg;
  *value = render_[state];
  return kOk;
}

Status DeviceStateTable::SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
  if (stage >= kTextureStages || type >= kStageStateCount) return kInvalidArg;
  if (recording_)
    recording_->push_back({true, stage, type, value});
  else
    stages_[stage][type] = value;
  return kOk;
}

Status DeviceStateTable::GetTextureStageState(uint32_t stage, uint32_t type, uint32_t* value) const {
  if (!value || stage >= kTextureStages || type >= kStageStateCount) return kInvalidArg;
  *value = stages_[stage][type];
  return kOk;
}

Status DeviceStateTable::BeginStateBlock() {
  if (recording_) return kInvalidArg;
  recording_.emplace();
  return kOk;
}

Status DeviceStateTable::EndStateBlock(uint32_t* token) {
  if (!token || !recording_) return kInvalidArg;
  const uint32_t t = nextToken_++;
  blocks_[t] = std::move(*recording_);
  recording_.reset();
  *token = t;
  return kOk;
}

Status DeviceStateTable::ApplyStateBlock(uint32_t token) {
  const auto it = blocks_.find(token);
  if (it == blocks_.end() || recording_) return kInvalidArg;
  for (const Entry& e : it->second) {
    if (e.isStage)
      stages_[e.stage][e.type] = e.value;
    else
      render_[e.type] = e.value;
  }
  return kOk;
}

Status DeviceStateTable::DeleteStateBlock(uint32_t token) {
  if (recording_) return kInvalidArg;
  return blocks_.erase(token) ? kOk : kInvalidArg;
}

}  // namespace plat

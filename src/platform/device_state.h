#pragma once
// The render and texture-stage state tables of a drawing device, with their
// start values and recorded state blocks. A device keeps one and draws with
// what it holds; it knows nothing of any graphics library.
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "platform/graphics_states.h"
#include "platform/status.h"

namespace plat {

class DeviceStateTable {
 public:
  using RenderStates = std::array<uint32_t, kRenderStateCount>;
  using StageStates = std::array<std::array<uint32_t, kStageStateCount>, kTextureStages>;

  DeviceStateTable() { SetDefaults(false); }

  // The values of a new or reset device; depth testing is on when the device
  // has a depth buffer. Recorded blocks stay.
  void SetDefaults(bool depthBuffer);

  // kInvalidArg for a state, stage or type outside the tables. While a block
  // is being recorded, setting goes into the block and the tables stay.
  Status SetRenderState(uint32_t state, uint32_t value);
  Status GetRenderState(uint32_t state, uint32_t* value) const;
  Status SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value);
  Status GetTextureStageState(uint32_t stage, uint32_t type, uint32_t* value) const;

  // kInvalidArg when a block is already being recorded (begin), none is
  // (end), or the token names no block (apply, delete, and while recording).
  Status BeginStateBlock();
  Status EndStateBlock(uint32_t* token);
  Status ApplyStateBlock(uint32_t token);
  Status DeleteStateBlock(uint32_t token);
  bool recording() const { return recording_.has_value(); }
  size_t blockCount() const { return blocks_.size(); }

  uint32_t render(uint32_t state) const { return render_[state]; }
  uint32_t stage(uint32_t stage, uint32_t type) const { return stages_[stage][type]; }
  const RenderStates& renderStates() const { return render_; }
  const StageStates& stageStates() const { return stages_; }

 private:
  struct Entry {
    bool isStage;
    uint32_t stage, type, value;
  };
  using Block = std::vector<Entry>;

  RenderStates render_{};
  StageStates stages_{};
  std::map<uint32_t, Block> blocks_;
  std::optional<Block> recording_;
  uint32_t nextToken_ = 1;
};

}  // namespace plat

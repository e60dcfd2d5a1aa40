#include "programs/panel/frmMcuInfo.h"

#include "common/core/firmware_info.h"
#include "common/win/driver_link.h"

namespace koral::panel {
namespace {

constexpr int kLineHeight = 255;

}  // namespace

frmMcuInfo::frmMcuInfo() : InformationDialog("frmMcuInfo") {}

void frmMcuInfo::Design() {
  DesignFurniture(" MCU Information", kLineHeight);
  lblMcuInfo.Create(*this, {kContentLeft, kContentTop, kContentRight - kContentLeft, kLineHeight},
                    "MCU-Mode=D4  MCU-Version=4.2  Checksum=00000000");
  lblMcuInfo.Alignment(ui::Alignment::Centre);
  lblMcuInfo.ForeColor(ui::kDarkBlue);
}

void frmMcuInfo::Form_Load() {
  lblMcuInfo.Caption(McuInfoText(device::Link().Block));
  DressDialog(*this);
}

}  // namespace koral::panel
